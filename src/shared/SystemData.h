// The process-wide number separators that number formatting and scanning use, and
// a short busy wait. The separators start as '.' and none; the program sets them
// from the locale at start-up (SetLocaleSeparators in the platform layer).
#pragma once

#include <cstdint>
#include <string>

namespace narvo {

class TIndeSystemData {
public:
    char DecimalSeparator() const;
    void SetDecimalSeparator(char C);
    // The zero character means no thousands separator.
    char ThousandSeparator() const;
    void SetThousandSeparator(char C);
};

// The single instance.
extern TIndeSystemData SystemData;

// N in decimal digits grouped by threes with the thousands separator ("12,345").
std::string GroupedWhole(std::int64_t N);

// Restores both separators when it leaves scope, also when an exception passes.
class TSeparatorGuard {
public:
    TSeparatorGuard();
    ~TSeparatorGuard();
    TSeparatorGuard(const TSeparatorGuard&) = delete;
    TSeparatorGuard& operator=(const TSeparatorGuard&) = delete;

private:
    char Decimal_;
    char Thousand_;
};

// Returns once at least Milliseconds have passed; waits busily, processing nothing.
void Delay(std::uint32_t Milliseconds);

}  // namespace narvo
