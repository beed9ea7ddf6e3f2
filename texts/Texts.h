#pragma once

#include <QString>

#include <cstdint>
#include <span>

class LanguagePreferences;

// Japanese interface texts as UTF-16 code units: no terminating zero, the length passed beside
// each table at every use. The English text of each is written at its place of use.
inline constexpr char16_t kCodesEject[] = {0x53D6, 0x308A, 0x51FA, 0x3059};  // 取り出す
inline constexpr char16_t kCodesMount[] = {0x30DE, 0x30A6, 0x30F3, 0x30C8};  // マウント
inline constexpr char16_t kCodesQuit[] = {0x7D42, 0x4E86};                   // 終了
// ドライブが見つかりません, shown right after "exFAT".
inline constexpr char16_t kCodesNoDriveTail[] = {0x30C9, 0x30E9, 0x30A4, 0x30D6, 0x304C, 0x898B,
                                                 0x3064, 0x304B, 0x308A, 0x307E, 0x305B, 0x3093};
// マウントに失敗しました
inline constexpr char16_t kCodesMountFail[] = {0x30DE, 0x30A6, 0x30F3, 0x30C8, 0x306B, 0x5931,
                                               0x6557, 0x3057, 0x307E, 0x3057, 0x305F};
// 取り出しに失敗しました
inline constexpr char16_t kCodesEjectFail[] = {0x53D6, 0x308A, 0x51FA, 0x3057, 0x306B, 0x5931,
                                               0x6557, 0x3057, 0x307E, 0x3057, 0x305F};
// コマンドラインツールが見つかりません
inline constexpr char16_t kCodesCLIMissing[] = {0x30B3, 0x30DE, 0x30F3, 0x30C9, 0x30E9, 0x30A4,
                                                0x30F3, 0x30C4, 0x30FC, 0x30EB, 0x304C, 0x898B,
                                                0x3064, 0x304B, 0x308A, 0x307E, 0x305B, 0x3093};
// コマンドラインツールをインストールできませんでした
inline constexpr char16_t kCodesInstallFailed[] = {
    0x30B3, 0x30DE, 0x30F3, 0x30C9, 0x30E9, 0x30A4, 0x30F3, 0x30C4, 0x30FC,
    0x30EB, 0x3092, 0x30A4, 0x30F3, 0x30B9, 0x30C8, 0x30FC, 0x30EB, 0x3067,
    0x304D, 0x307E, 0x305B, 0x3093, 0x3067, 0x3057, 0x305F};

// True when the user's first preferred language, read now, begins with "ja" (letter case exact).
bool IsJapaneseSystem(LanguagePreferences& languages);

// A new text of exactly the first `count` code units of `table`. Never reads beyond the table or
// its 64-unit working buffer: a count above either gives only the units that are there.
QString JPStringFromCodes(std::span<const char16_t> table, std::uint32_t count);

// The Japanese text of the table when the system is Japanese, otherwise `english` itself (the
// same shared text, not a copy of its characters).
QString L(LanguagePreferences& languages, std::span<const char16_t> table, std::uint32_t count,
          const QString& english);
