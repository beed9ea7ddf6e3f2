#include <gtest/gtest.h>

#include "tests/Fakes.h"
#include "texts/Texts.h"

namespace {

TEST(Texts, LanguageChoice) {
    struct Case {
        QStringList languages;
        bool japanese;
    };
    const Case cases[] = {
        {{}, false},           {{"ja"}, true},        {{"ja-JP"}, true}, {{"ja_JP.UTF-8"}, true},
        {{"en", "ja"}, false}, {{"Japanese"}, false}, {{"JA"}, false},   {{"", "ja"}, false},
        {{"en-US"}, false},
    };
    for (const Case& c : cases) {
        FakeLanguages languages;
        languages.languages = c.languages;
        EXPECT_EQ(IsJapaneseSystem(languages), c.japanese) << c.languages.join(",").toStdString();
        EXPECT_EQ(L(languages, kCodesQuit, 2, "Quit"), c.japanese ? U(u"\u7d42\u4e86") : "Quit")
            << c.languages.join(",").toStdString();
    }
}

TEST(Texts, TablesHoldExactlyTheirTexts) {
    struct Case {
        const char* name;
        std::span<const char16_t> table;
        std::uint32_t length;
        QString japanese;
    };
    const Case cases[] = {
        {"Eject", kCodesEject, 4, QString::fromUtf8("取り出す")},
        {"Mount", kCodesMount, 4, QString::fromUtf8("マウント")},
        {"Quit", kCodesQuit, 2, QString::fromUtf8("終了")},
        {"NoDriveTail", kCodesNoDriveTail, 12, QString::fromUtf8("ドライブが見つかりません")},
        {"MountFail", kCodesMountFail, 11, QString::fromUtf8("マウントに失敗しました")},
        {"EjectFail", kCodesEjectFail, 11, QString::fromUtf8("取り出しに失敗しました")},
        {"CLIMissing", kCodesCLIMissing, 18,
         QString::fromUtf8("コマンドラインツールが見つかりません")},
        {"InstallFailed", kCodesInstallFailed, 25,
         QString::fromUtf8("コマンドラインツールをインストールできませんでした")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.table.size(), c.length) << c.name << ": no terminating zero, nothing missing";
        const QString text = JPStringFromCodes(c.table, c.length);
        EXPECT_EQ(text, c.japanese) << c.name;
        EXPECT_EQ(text.size(), c.length) << c.name;
    }
}

TEST(Texts, CountsNeverReadBeyondTheTable) {
    EXPECT_EQ(JPStringFromCodes(kCodesQuit, 1), U(u"\u7d42"));
    EXPECT_EQ(JPStringFromCodes(kCodesQuit, 0), "");
    EXPECT_EQ(JPStringFromCodes(kCodesQuit, 100), U(u"\u7d42\u4e86"));
    const char16_t big[80] = {u'a'};
    EXPECT_EQ(JPStringFromCodes(big, 80).size(), 64) << "the working buffer holds 64 units";
}

TEST(Texts, EnglishIsTheCallersOwnTextAndEachUseReadsThePreferenceAgain) {
    FakeLanguages languages;
    const QString english = "Couldn't install the command line tools";
    const QString shown = L(languages, kCodesInstallFailed, 25, english);
    EXPECT_EQ(shown.constData(), english.constData()) << "the same text, not a copy";
    EXPECT_EQ(languages.reads, 1);

    languages.languages = {"ja"};
    EXPECT_EQ(L(languages, kCodesInstallFailed, 25, english).size(), 25);
    EXPECT_EQ(languages.reads, 2);
    languages.languages = {"en"};
    EXPECT_EQ(L(languages, kCodesInstallFailed, 25, english), english);
    EXPECT_EQ(languages.reads, 3);
}

}  // namespace
