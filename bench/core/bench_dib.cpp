// Decoding a 4096 x 4096 bitmap held in memory, next to a plain copy of the
// same bytes, so that one run shows the decoder's cost relative to memcpy;
// and the whole load of the same bitmap from a file.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/bmp/DibDecoder.h"
#include "core/bmp/DibReader.h"

namespace {

constexpr int kSide = 4096;

void Put32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<unsigned char>(x >> (8 * i));
}

// A file image with a 14-byte file header, a 40-byte header, a grey ramp
// palette for 8 bits and pseudo-random pixels.
std::vector<unsigned char> MakeFile(int bitCount)
{
    const std::size_t table = bitCount == 8 ? 256 * 4 : 0;
    const std::size_t stride = (std::size_t(kSide) * bitCount / 8 + 3) & ~std::size_t(3);
    const std::size_t bitsAt = 14 + 40 + table;
    std::vector<unsigned char> v(bitsAt + stride * kSide, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, static_cast<std::uint32_t>(v.size()));
    Put32(v, 10, static_cast<std::uint32_t>(bitsAt));
    Put32(v, 14, 40);
    Put32(v, 18, kSide);
    Put32(v, 22, kSide);
    v[26] = 1;
    v[28] = static_cast<unsigned char>(bitCount);
    for (std::size_t i = 0; i < table / 4; ++i)
        v[54 + 4 * i] = v[55 + 4 * i] = v[56 + 4 * i] = static_cast<unsigned char>(i);
    std::uint32_t seed = 12345;
    for (std::size_t i = bitsAt; i < v.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        v[i] = static_cast<unsigned char>(seed >> 24);
    }
    return v;
}

const std::vector<unsigned char>& File(int bitCount)
{
    static const std::vector<unsigned char> file24 = MakeFile(24);
    static const std::vector<unsigned char> file8 = MakeFile(8);
    return bitCount == 24 ? file24 : file8;
}

void Decode(benchmark::State& state)
{
    const std::vector<unsigned char>& file = File(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RgbImage image;
        if (DecodeDib(file.data(), file.size(), image) != DibResult::Ok) {
            state.SkipWithError("decode failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}

void Copy(benchmark::State& state)
{
    const std::vector<unsigned char>& file = File(static_cast<int>(state.range(0)));
    std::vector<unsigned char> target(file.size());
    for (auto _ : state) {
        std::memcpy(target.data(), file.data(), file.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(file.size()));
}

// The file image of `bitCount` written to a scratch file, removed at exit.
class ScratchBitmap {
public:
    explicit ScratchBitmap(int bitCount)
        : m_path("/tmp/velmora-bench-" + std::to_string(::getpid()) + "-" + std::to_string(bitCount) + ".bmp")
    {
        const std::vector<unsigned char>& file = File(bitCount);
        std::ofstream(m_path, std::ios::binary)
            .write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    }
    ~ScratchBitmap() { std::remove(m_path.c_str()); }
    const char* path() const { return m_path.c_str(); }

private:
    std::string m_path;
};

void LoadFile(benchmark::State& state)
{
    const ScratchBitmap bitmap(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        RgbImage image;
        if (LoadDibImage(bitmap.path(), image) != DibResult::Ok) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) *
                            std::int64_t(File(static_cast<int>(state.range(0))).size()));
}

} // namespace

BENCHMARK(LoadFile)->Name("DibLoadFile/24bit")->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Name("DibDecode/24bit")->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("DibMemcpy/24bit")->Arg(24)->Unit(benchmark::kMillisecond);
BENCHMARK(Decode)->Name("DibDecode/8bit")->Arg(8)->Unit(benchmark::kMillisecond);
BENCHMARK(Copy)->Name("DibMemcpy/8bit")->Arg(8)->Unit(benchmark::kMillisecond);
