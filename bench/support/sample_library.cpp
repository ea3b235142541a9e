#include "sample_library.h"

#include "library/schema.h"
#include "store/connection.h"
#include "store/schema.h"
#include "store/transaction.h"
#include "text/date_time.h"

#include <array>
#include <stdexcept>

namespace chengxi::bench {
namespace {

constexpr std::array kTitleFronts{"",     "",       "",     "少年",   "图解",
                                  "新编", "趣味",   "经典", "中国",   "世界",
                                  "我的", "小学生", "彩绘", "注音版", "全本"};
constexpr std::array kTitleCores{"红楼梦",
                                 "三国演义",
                                 "水浒传",
                                 "西游记",
                                 "骆驼祥子",
                                 "朝花夕拾",
                                 "呐喊",
                                 "边城",
                                 "围城",
                                 "家",
                                 "春",
                                 "秋",
                                 "雷雨",
                                 "茶馆",
                                 "城南旧事",
                                 "繁星春水",
                                 "稻草人",
                                 "寄小读者",
                                 "草房子",
                                 "青铜葵花",
                                 "童年",
                                 "在人间",
                                 "我的大学",
                                 "海底两万里",
                                 "格列佛游记",
                                 "鲁滨逊漂流记",
                                 "汤姆索亚历险记",
                                 "爱的教育",
                                 "昆虫记",
                                 "钢铁是怎样炼成的",
                                 "简爱",
                                 "傲慢与偏见",
                                 "巴黎圣母院",
                                 "悲惨世界",
                                 "老人与海",
                                 "小王子",
                                 "夏洛的网",
                                 "绿山墙的安妮",
                                 "森林报",
                                 "居里夫人传",
                                 "名人传",
                                 "唐诗三百首",
                                 "宋词选",
                                 "论语",
                                 "孟子",
                                 "史记故事",
                                 "成语故事",
                                 "中华上下五千年",
                                 "十万个为什么",
                                 "数学家的故事",
                                 "物理世界",
                                 "化学趣谈",
                                 "地理百科",
                                 "植物的秘密",
                                 "动物王国",
                                 "宇宙探索",
                                 "恐龙时代",
                                 "海洋生物",
                                 "人体奥秘",
                                 "科学实验",
                                 "英语阅读",
                                 "作文指导",
                                 "阅读理解",
                                 "古文观止",
                                 "诗经选读",
                                 "楚辞",
                                 "山海经",
                                 "聊斋志异",
                                 "儒林外史",
                                 "镜花缘",
                                 "封神演义",
                                 "东周列国志",
                                 "杨家将",
                                 "岳飞传",
                                 "三侠五义",
                                 "白话聊斋",
                                 "安徒生童话",
                                 "格林童话",
                                 "伊索寓言",
                                 "一千零一夜",
                                 "木偶奇遇记",
                                 "柳林风声",
                                 "彼得潘",
                                 "金银岛",
                                 "秘密花园",
                                 "小妇人",
                                 "汤姆叔叔的小屋",
                                 "雾都孤儿",
                                 "大卫科波菲尔",
                                 "双城记",
                                 "红与黑",
                                 "复活",
                                 "战争与和平",
                                 "安娜卡列尼娜",
                                 "罪与罚",
                                 "猎人笔记",
                                 "契诃夫短篇小说选",
                                 "莫泊桑短篇小说选",
                                 "欧亨利短篇小说选"};
constexpr std::array kTitleBacks{"",     "",     "",     "（上）",     "（下）", "（上下册）",
                                 "精选", "故事", "读本", "（插图本）", "全集",   "选读"};
constexpr std::array kSurnames{"张", "王", "李", "赵", "刘",   "陈",  "杨", "黄",
                               "周", "吴", "徐", "孙", "马",   "朱",  "胡", "郭",
                               "何", "林", "罗", "高", "欧阳", "司马"};
constexpr std::array kGiven{"伟",   "芳",   "娜",   "敏",   "静",   "丽",   "强",
                            "磊",   "军",   "洋",   "勇",   "艳",   "杰",   "娟",
                            "涛",   "明",   "超",   "秀英", "霞",   "平",   "子涵",
                            "浩然", "梓萱", "一诺", "欣怡", "宇轩", "雨桐", "俊杰"};
constexpr std::array kAuthors{"曹雪芹", "罗贯中", "施耐庵", "吴承恩", "老舍",     "鲁迅",
                              "沈从文", "钱钟书", "巴金",   "曹禺",   "冰心",     "叶圣陶",
                              "曹文轩", "高尔基", "凡尔纳", "笛福",   "马克吐温", "半夏"};
constexpr std::array kPublishers{"人民文学出版社", "时代文艺出版社", "中华书局",
                                 "少年儿童出版社", "长江文艺出版社", "商务印书馆"};
constexpr std::array kShelves{"文学一", "文学二", "科普一", "历史一", "外国文学", "工具书"};
constexpr std::array kCategories{"I文学", "K历史", "N科学", "H语言", "G文教", "Z综合"};

template <typename Words> std::string pick(std::mt19937& random, const Words& words) {
    return words[std::uniform_int_distribution<std::size_t>(0, words.size() - 1)(random)];
}

std::string number(std::mt19937& random, int low, int high) {
    return std::to_string(std::uniform_int_distribution<int>(low, high)(random));
}

void require(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

std::string dateText(int year, int dayOfYear) {
    return text::formatDateTime(text::addDays(text::DateTime{year, 1, 1}, dayOfYear));
}

} // namespace

std::string sampleTitle(std::mt19937& random) {
    return pick(random, kTitleFronts) + pick(random, kTitleCores) + pick(random, kTitleBacks);
}

std::string sampleName(std::mt19937& random) {
    return pick(random, kSurnames) + pick(random, kGiven);
}

std::string sampleClass(std::mt19937& random) {
    static constexpr std::array grades{"初一", "初二", "初三", "高一", "高二", "高三"};
    return pick(random, grades) + "（" + number(random, 1, 12) + "）班";
}

std::string bookNumber(int index) {
    std::string digits = std::to_string(index % 100000);
    return std::string(1, static_cast<char>('A' + index / 100000)) +
           std::string(5 - digits.size(), '0') + digits;
}

std::string cardNumber(int index) {
    std::string digits = std::to_string(index);
    return "2014" + std::string(5 - std::min<std::size_t>(5, digits.size()), '0') + digits;
}

void fillLibrary(store::Connection& connection, const LibrarySize& size, unsigned seed) {
    for (const library::TableDefinition& table : library::kTables) {
        require(store::tableExists(connection, table.name) ||
                    store::ensureTable(connection, "", table.name, library::columnList(table),
                                       table.sizes) == store::EnsureOutcome::Created,
                "cannot create the tables");
    }
    std::mt19937 random(seed);
    store::Transaction transaction(connection);
    require(transaction.began(), "cannot begin");

    std::vector<std::string> titles;
    titles.reserve(static_cast<std::size_t>(size.books));
    for (int i = 0; i < size.books; ++i) {
        titles.push_back(sampleTitle(random));
        require(connection.execute(
                    "insert into 图书数据 values(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                    {"978" + number(random, 1000000, 9999999) + number(random, 100, 999),
                     bookNumber(i), "I24" + number(random, 1, 9), pick(random, kCategories),
                     number(random, 1, 3), titles.back(), pick(random, kAuthors),
                     pick(random, kPublishers), number(random, 80, 600), "16开",
                     "20" + number(random, 10, 15) + "-" + number(random, 1, 12), "第一版",
                     number(random, 10, 60) + ".00元", pick(random, kShelves),
                     dateText(2015, std::uniform_int_distribution<int>(0, 300)(random)), "0"}),
                "cannot insert a book");
    }

    int lentBook = 0;
    for (int i = 0; i < size.readers; ++i) {
        const std::string group = sampleClass(random);
        const std::string name = sampleName(random);
        std::string numbers = "0", dates = "0", held = "0";
        if (i % 10 == 0 && lentBook + 2 <= size.books) {
            numbers.clear(), dates.clear(), held.clear();
            for (int loan = 0; loan < 1 + i % 20 / 10; ++loan, ++lentBook) {
                const std::string date = dateText(2016, lentBook % 300);
                numbers += bookNumber(lentBook) + "|";
                dates += date + "|";
                held += titles[static_cast<std::size_t>(lentBook)] + "|";
                require(connection.execute("insert into 借出数据 values(?,?)",
                                           {bookNumber(lentBook), cardNumber(i)}),
                        "cannot insert a lend state");
                require(connection.execute("insert into 借阅报表 values(?,?,?,?,?,?)",
                                           {"2016", bookNumber(lentBook),
                                            titles[static_cast<std::size_t>(lentBook)],
                                            group + " " + name, date, ""}),
                        "cannot insert a report row");
            }
        }
        require(connection.execute("insert into 读者数据 values(?,?,?,?,?,?)",
                                   {group, name, cardNumber(i), numbers, dates, held}),
                "cannot insert a reader");
    }

    for (int i = 0; i < size.reportRows; ++i) {
        const int year = 2014 + i % 3;
        const int day = std::uniform_int_distribution<int>(0, 350)(random);
        const int book = std::uniform_int_distribution<int>(0, std::max(0, size.books - 1))(random);
        require(connection.execute(
                    "insert into 借阅报表 values(?,?,?,?,?,?)",
                    {std::to_string(year), bookNumber(book),
                     size.books > 0 ? titles[static_cast<std::size_t>(book)] : sampleTitle(random),
                     sampleClass(random) + " " + sampleName(random), dateText(year, day),
                     dateText(year, day + 4)}),
                "cannot insert a report row");
    }
    require(transaction.commit(), "cannot commit");
}

} // namespace chengxi::bench
