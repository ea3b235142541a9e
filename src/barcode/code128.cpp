#include "barcode/code128.h"

#include <array>
#include <numeric>

namespace chengxi::barcode {
namespace {

// Bar, space, bar, space, bar, space widths of the symbol values 0 to 105.
constexpr std::array<std::string_view, 106> kPatterns = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
constexpr std::string_view kStop = "2331112";

constexpr int kCodeB = 100;
constexpr int kStartB = 104;
constexpr int kStartC = 105;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The symbol values of the data: code set C for a leading run of digit
// pairs, code set B for the rest.
std::optional<std::vector<int>> symbolValues(std::string_view text) {
    std::size_t pairs = 0;
    while (pairs * 2 + 1 < text.size() && isDigit(text[pairs * 2]) &&
           isDigit(text[pairs * 2 + 1])) {
        ++pairs;
    }
    // A single pair is no shorter in code set C than in B.
    const bool useC = pairs >= 2 || (pairs == 1 && text.size() == 2);
    std::vector<int> values;
    values.push_back(useC ? kStartC : kStartB);
    std::size_t at = 0;
    if (useC) {
        for (; at < pairs * 2; at += 2) {
            values.push_back((text[at] - '0') * 10 + (text[at + 1] - '0'));
        }
        if (at < text.size()) {
            values.push_back(kCodeB);
        }
    }
    for (; at < text.size(); ++at) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 32 || c > 126) {
            return std::nullopt;
        }
        values.push_back(c - 32);
    }
    return values;
}

void appendWidths(std::vector<int>& widths, std::string_view pattern) {
    for (const char width : pattern) {
        widths.push_back(width - '0');
    }
}

} // namespace

std::optional<std::vector<int>> encodeCode128(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::optional<std::vector<int>> values = symbolValues(text);
    if (!values) {
        return std::nullopt;
    }
    int check = values->front();
    for (std::size_t i = 1; i < values->size(); ++i) {
        check += static_cast<int>(i) * (*values)[i];
    }
    values->push_back(check % 103);
    std::vector<int> widths;
    widths.reserve(values->size() * 6 + kStop.size());
    for (const int value : *values) {
        appendWidths(widths, kPatterns.at(static_cast<std::size_t>(value)));
    }
    appendWidths(widths, kStop);
    return widths;
}

int moduleCount(const std::vector<int>& widths) {
    return std::accumulate(widths.begin(), widths.end(), 0);
}

} // namespace chengxi::barcode
