// What the benchmarks share: generated word texts and the process's peak resident
// memory, read from the kernel's high-water mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace narvo::bench {

// Lines of LineLength bytes: lower-case words from the first Letters letters of the
// alphabet, then LineEnd. The same seed gives the same text every run.
inline std::string MakeWordText(std::size_t Bytes, std::size_t LineLength, std::string_view LineEnd,
                                std::uint32_t Letters = 26)
{
    std::string S;
    S.reserve(Bytes);
    std::uint32_t R = 12345;
    while (S.size() + LineLength <= Bytes) {
        for (std::size_t I = 0; I + LineEnd.size() < LineLength; ++I) {
            R = R * 1103515245u + 12345u;
            const std::uint32_t V = (R >> 16) % 27;
            S.push_back(V == 26 ? ' ' : static_cast<char>('a' + V % Letters));
        }
        S.append(LineEnd);
    }
    return S;
}

// A field of /proc/self/status in kB ("VmHWM:" is the peak), -1 when absent.
inline long ReadStatusKb(const char* Field)
{
    std::ifstream F("/proc/self/status");
    std::string Line;
    while (std::getline(F, Line))
        if (Line.rfind(Field, 0) == 0)
            return std::stol(Line.substr(std::string(Field).size()));
    return -1;
}

// The kernel's high-water mark of resident memory starts again from now.
inline void ResetPeakRss()
{
    std::ofstream F("/proc/self/clear_refs");
    F << "5";
}

}  // namespace narvo::bench
