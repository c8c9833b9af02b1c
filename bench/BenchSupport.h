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

// Lines of 3 to 10 words of 2 to 7 lower-case letters (never z), each line ended
// by LF, up to Bytes: 100 MB make about 2.7 million lines. The same text every run.
inline std::string MakeWordLines(std::size_t Bytes)
{
    std::string S;
    S.reserve(Bytes);
    std::uint32_t R = 2463534242u;
    auto Next = [&R](std::uint32_t N) {
        R ^= R << 13;
        R ^= R >> 17;
        R ^= R << 5;
        return R % N;
    };
    std::string Line;
    for (;;) {
        Line.clear();
        const std::uint32_t Words = 3 + Next(8);
        for (std::uint32_t W = 0; W < Words; ++W) {
            if (W > 0)
                Line.push_back(' ');
            const std::uint32_t Letters = 2 + Next(6);
            for (std::uint32_t L = 0; L < Letters; ++L)
                Line.push_back(static_cast<char>('a' + Next(25)));
        }
        Line.push_back('\n');
        if (S.size() + Line.size() > Bytes)
            return S;
        S += Line;
    }
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
