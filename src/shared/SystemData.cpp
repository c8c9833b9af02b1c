// The process-wide number separators and the short busy wait. The separators are
// atomics because the status polling thread formats numbers while the user
// interface thread may change the locale settings.
#include "shared/SystemData.h"

#include <atomic>
#include <chrono>

namespace narvo {

namespace {
std::atomic<char> GDecimalSeparator{'.'};
std::atomic<char> GThousandSeparator{'\0'};
}  // namespace

TIndeSystemData SystemData;

char TIndeSystemData::DecimalSeparator() const { return GDecimalSeparator.load(std::memory_order_relaxed); }
void TIndeSystemData::SetDecimalSeparator(char C) { GDecimalSeparator.store(C, std::memory_order_relaxed); }
char TIndeSystemData::ThousandSeparator() const { return GThousandSeparator.load(std::memory_order_relaxed); }
void TIndeSystemData::SetThousandSeparator(char C) { GThousandSeparator.store(C, std::memory_order_relaxed); }

std::string GroupedWhole(std::int64_t N)
{
    const bool Negative = N < 0;
    std::string Digits = std::to_string(Negative ? -(N + 1) + std::uint64_t{1} : static_cast<std::uint64_t>(N));
    const char Sep = SystemData.ThousandSeparator();
    std::string Out;
    for (std::size_t I = 0; I < Digits.size(); ++I) {
        if (Sep != 0 && I > 0 && (Digits.size() - I) % 3 == 0)
            Out += Sep;
        Out += Digits[I];
    }
    return Negative ? "-" + Out : Out;
}

TSeparatorGuard::TSeparatorGuard()
    : Decimal_(SystemData.DecimalSeparator()), Thousand_(SystemData.ThousandSeparator())
{
}

TSeparatorGuard::~TSeparatorGuard()
{
    SystemData.SetDecimalSeparator(Decimal_);
    SystemData.SetThousandSeparator(Thousand_);
}

void Delay(std::uint32_t Milliseconds)
{
    // A monotonic clock: a change of the wall clock neither ends the wait early nor
    // lengthens it.
    const auto Start = std::chrono::steady_clock::now();
    const auto Wait = std::chrono::milliseconds(Milliseconds);
    while (std::chrono::steady_clock::now() - Start < Wait) {
    }
}

}  // namespace narvo
