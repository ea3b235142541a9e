#pragma once

#include <random>
#include <string>

namespace chengxi::store {
class Connection;
}

// A generated library for the benchmarks: realistic Chinese titles, names and
// classes, the same rows for the same seed.
namespace chengxi::bench {

struct LibrarySize {
    int books = 100000;
    int readers = 5000;
    int reportRows = 50000;
};

// Each of these words stands in about one title in a hundred, so a title
// search for one of them finds about 1% of the catalogue.
inline constexpr const char* kCommonTitleWord = "红楼梦";

std::string sampleTitle(std::mt19937& random);
std::string sampleName(std::mt19937& random);
std::string sampleClass(std::mt19937& random);
// Book number i (from 0): a letter and five digits, unique below 2,600,000.
std::string bookNumber(int index);
// Card number i (from 0): nine digits, unique.
std::string cardNumber(int index);

// Creates the four tables if needed and fills them in one transaction:
// books, readers (one in ten holding one or two loans that are also in the
// lend state and the report) and report rows over the years 2014 to 2016.
void fillLibrary(store::Connection& connection, const LibrarySize& size, unsigned seed = 1);

} // namespace chengxi::bench
