#include "app/qt/printout_painter.h"
#include "readers/library_cards.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chengxi {
namespace {

// Every barcode zbarimg finds in the image files, as text.
std::vector<std::string> decoded(const QStringList& images) {
    QProcess zbar;
    zbar.start("zbarimg", QStringList{"--raw", "-q", "-Scode128.enable"} + images);
    EXPECT_TRUE(zbar.waitForFinished(60000));
    std::vector<std::string> found;
    for (const QByteArray& line : zbar.readAllStandardOutput().split('\n')) {
        if (!line.isEmpty()) {
            found.push_back(line.toStdString());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Card numbers of every shape the encoder meets: digits in pairs (code set
// C), an odd digit left over, letters and signs (code set B), a single
// character, and one the barcode cannot carry, which gets none.
const std::vector<readers::CardHolder> kHolders = {
    {"初一(3)班", "张三", "201409001"},  {"初一(3)班", "李四", "20140900"},
    {"高二(1)班", "王五", "T-2016/a b"}, {"三年级1班", "赵六", "7"},
    {"三年级1班", "钱七", "12"},         {"三年级1班", "孙八", "甲001"},
};

std::vector<std::string> expectedCards() {
    std::vector<std::string> cards = {"201409001", "20140900", "T-2016/a b", "7", "12"};
    std::sort(cards.begin(), cards.end());
    return cards;
}

TEST(CardBarcodes, ThePrintedPageDecodesToTheCardNumbers) {
    const ui::Printout cards = readers::libraryCards(kHolders, "澄溪学校图书室");
    ASSERT_EQ(cards.pages.size(), 1u);
    // 300 dots to the inch, as a scanner or a printer sees the page.
    constexpr double kDotsPerMm = 300 / 25.4;
    QImage page(static_cast<int>(ui::kA4Width * kDotsPerMm),
                static_cast<int>(ui::kA4Height * kDotsPerMm), QImage::Format_Grayscale8);
    page.fill(Qt::white);
    QPainter painter(&page);
    qt::paintPrintSheet(painter, cards.pages.front(), kDotsPerMm);
    painter.end();
    const QTemporaryDir folder;
    const QString path = folder.filePath("cards.png");
    ASSERT_TRUE(page.save(path));
    EXPECT_EQ(decoded({path}), expectedCards());
}

TEST(CardBarcodes, ThePdfDecodesToTheCardNumbersOnEveryPage) {
    std::vector<readers::CardHolder> holders;
    for (int i = 0; i < 12; ++i) {
        holders.push_back({"初二(1)班", "读者", "2016" + std::to_string(1000 + i)});
    }
    const ui::Printout cards = readers::libraryCards(holders, "澄溪学校图书室");
    ASSERT_EQ(cards.pages.size(), 2u);
    const QTemporaryDir folder;
    const std::string pdf = folder.filePath("借书证.pdf").toStdString();
    ASSERT_TRUE(qt::printToPdf(cards, pdf).printed);
    QProcess raster;
    raster.start("pdftoppm", {"-r", "300", "-gray", "-png", QString::fromStdString(pdf),
                              folder.filePath("page")});
    ASSERT_TRUE(raster.waitForFinished(60000));
    const std::vector<std::string> found =
        decoded({folder.filePath("page-1.png"), folder.filePath("page-2.png")});
    std::vector<std::string> expected;
    for (const readers::CardHolder& holder : holders) {
        expected.push_back(holder.card);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
}

} // namespace
} // namespace chengxi
