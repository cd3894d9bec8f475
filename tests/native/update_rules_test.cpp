#include "modules/update/update_rules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "common/gbk_utf8.h"
#include "modules/update/xml_text.h"

namespace quadrivo::update {
namespace {

std::string gbk(const char8_t* utf8) { return utf8_to_gbk(reinterpret_cast<const char*>(utf8)); }

TEST(UpdateTexts, AreTheseGbkBytes) {
  const std::pair<const char*, const char8_t*> texts[] = {
      {kWindowTitle, u8"在线检测更新"},
      {kSpeedCaptionAtStart, u8"速度：0000KB"},
      {kReceivedCaptionAtStart, u8"已下载：0000KB"},
      {kTotalCaptionAtStart, u8"总大小：0000KB"},
      {kPercentCaptionAtStart, u8"进度：0%"},
      {kUpToDateText, u8"您正在使用最新版本程序！"},
      {kUpToDateTitle, u8"最新版本"},
      {kNewVersionText, u8"检测到服务器上有新版本"},
      {kNewVersionTitle, u8"有新版本程序可用"},
      {kRunNowText, u8"下载完毕！是否马上运行？"},
      {kRunNowTitle, u8"询问"},
      {kBadVersionText, u8"服务器上的版本信息有误"},
      {kBadAddressText, u8"服务器上的下载地址有误"},
      {kDownloadFailedText, u8"下载失败，请检查网络后重试"},
      {kNoValidSignatureText, u8"服务器上的更新没有有效的签名"},
      {kSignatureMismatchText, u8"下载的文件未通过签名校验，已删除"},
      {kCannotSaveText, u8"无法保存下载的文件"},
      {kTransferStillRunningText, u8"上一次的下载还没有结束，请稍后再试"},
      {kUnknownTotal, u8"未知"},
      {kErrorTitle, u8"错误提示"},
  };
  for (const auto& [text, utf8] : texts) EXPECT_EQ(std::string(text), gbk(utf8)) << gbk_to_utf8(text);
}

TEST(UpdateTexts, MessageBoxesHaveTheirStyles) {
  // The Windows style of each kind (0, 4, 36, 16) is checked where the shell shows the boxes.
  const std::pair<Notice, NoticeKind> notices[] = {
      {kUpToDateNotice, NoticeKind::kPlain}, {kNewVersionQuestion, NoticeKind::kYesNo},
      {kRunNowQuestion, NoticeKind::kQuestionYesNo}, {kBadVersionNotice, NoticeKind::kError},
      {kBadAddressNotice, NoticeKind::kError}, {kDownloadFailedNotice, NoticeKind::kError},
      {kNoValidSignatureNotice, NoticeKind::kError}, {kSignatureMismatchNotice, NoticeKind::kError},
      {kCannotSaveNotice, NoticeKind::kError}, {kTransferStillRunningNotice, NoticeKind::kError},
  };
  for (const auto& [notice, kind] : notices) EXPECT_EQ(notice.kind, kind) << gbk_to_utf8(notice.text);
  for (const Notice& error : {kBadVersionNotice, kBadAddressNotice, kDownloadFailedNotice, kNoValidSignatureNotice,
                              kSignatureMismatchNotice, kCannotSaveNotice, kTransferStillRunningNotice}) {
    EXPECT_STREQ(error.title, kErrorTitle) << gbk_to_utf8(error.text);
  }
}

TEST(IsUpToDate, ComparesTheNumbersAsDoubles) {
  struct Case {
    const char* installed;
    const char* offered;
    bool up_to_date;
  };
  const Case cases[] = {
      {"1.18", "1.18", true},
      {"1.2", "1.19", true},  // numeric, not text order
      {"1.18", "1.19", false},
      {"7.7", "7.7", true},  // narrowed to single precision it lay 1.9e-7 below
      {"0.1", "0.1", true},
      {"2", "1.99", true},
      {"", "", true},  // no Config.ini and no document: 0 against 0
      {"", "1.19", false},
      {"1.18", "", true},
      {"1.19", "1.19beta", true},  // the number is read up to the letters
      {"1.18", "1.19beta", false},
      {"１.１９", "1.19", true},  // full-width digits count as ASCII ones
      {"1.18", "１.１９", false},
      {"1", "1.00000005", true},  // within the 1e-7 tolerance
      {"1", "1.0000002", false},
      {"1.0000002", "1", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_up_to_date(c.installed, c.offered), c.up_to_date) << c.installed << " / " << c.offered;
  }
}

TEST(OldNewVersionLogText, ShowsTheInstalledVersionInSinglePrecision) {
  struct Case {
    const char* installed;
    const char* offered;
    const char* text;
  };
  const Case cases[] = {
      {"1.18", "1.18", "Old Version:1.18  New Version:1.18"},
      {"7.7", "7.7", "Old Version:7.7  New Version:7.7"},
      {"2", "1.19beta", "Old Version:2  New Version:1.19beta"},
      {"", "", "Old Version:0  New Version:"},
      {"1.23456789", " 2 ", "Old Version:1.23457  New Version: 2 "},
      {"１.１８", "１.１９", "Old Version:1.18  New Version:１.１９"},
      {"1e60", "x", "Old Version:inf  New Version:x"},  // beyond the single-precision range
  };
  for (const auto& c : cases) EXPECT_EQ(old_new_version_log_text(c.installed, c.offered), c.text) << c.installed;
}

TEST(VersionText, RefusesWhatCouldLeaveTheRunDirectoryOrBreakTheFileName) {
  const std::string lone_lead = "1.19\xCA";
  const std::pair<std::string, bool> cases[] = {
      {"1.19", true},
      {"1.19beta", true},
      {"２.０", true},
      {"１.１９", true},
      {"1.19 正式版", true},
      {"\xD5\x5C", true},        // "誠": trail byte 0x5C is no backslash
      {"1.19\xC2\x7C", true},    // "聕": trail byte 0x7C is no "|"
      {"1.\xD5\x5C.2", true},
      {std::string(64, '9'), true},
      {"", false},
      {std::string(65, '9'), false},
      {"a/b", false},
      {"a\\b", false},
      {"..", false},
      {"1..2", false},
      {"..\\..\\x", false},
      {"C:", false},
      {"1.19\t", false},
      {"1.19\r\n", false},
      {std::string("1\0" "2", 3), false},
      {"1\x7F", false},
      {"<", false},
      {">", false},
      {"\"", false},
      {"|", false},
      {"?", false},
      {"*", false},
      {lone_lead, false},
      {"\xCA" "1", false},       // a lead byte before an ASCII digit is no character
      {"\xCA\x7F", false},
      {"\xCA\xFF", false},
      {"\x80", false},
      {"\xFF", false},
  };
  for (const auto& [text, accepted] : cases) {
    EXPECT_EQ(is_acceptable_version_text(text), accepted) << gbk_to_utf8(text) << " (" << text.size() << " bytes)";
  }
}

TEST(DownloadAddress, MustBeHttpOrHttpsWithAHost) {
  const std::pair<const char*, bool> cases[] = {
      {"http://example.test/Quadrivo.exe", true},
      {"HTTPS://example.test/a/b.exe?x=1", true},
      {"Http://127.0.0.1:8080/new.exe", true},
      {"http://user@host/x", true},
      {"http://[::1]:80/x", true},
      {"http://host", true},
      {"https://数据.test/新.exe", true},
      {"http://", false},
      {"https://", false},
      {"http:///path", false},
      {"http://:80/x", false},
      {"http://user@/x", false},
      {"http://[]/x", false},
      {"file:///C:/x.exe", false},
      {"C:\\x.exe", false},
      {"\\\\server\\share\\x.exe", false},
      {"/x.exe", false},
      {"", false},
      {"ftp://host/x.exe", false},
      {"http:host/x", false},
      {" http://host/x", false},
      {"http://host/a b.exe", false},
      {"http://host/x\r\n", false},
      {"http://host/\tx", false},
  };
  for (const auto& [address, accepted] : cases) {
    EXPECT_EQ(is_acceptable_download_address(address), accepted) << address;
  }
}

TEST(DownloadRefusal, VersionFirstThenAddress) {
  EXPECT_EQ(download_refusal("1.19", "http://h/x.exe"), Refusal::kNone);
  EXPECT_EQ(download_refusal("../1.19", "http://h/x.exe"), Refusal::kBadVersionText);
  EXPECT_EQ(download_refusal("", ""), Refusal::kBadVersionText);
  EXPECT_EQ(download_refusal("1.19", "file:///x.exe"), Refusal::kBadDownloadAddress);

  EXPECT_EQ(refusal_notice(Refusal::kNone), nullptr);
  ASSERT_NE(refusal_notice(Refusal::kBadVersionText), nullptr);
  EXPECT_STREQ(refusal_notice(Refusal::kBadVersionText)->text, kBadVersionText);
  ASSERT_NE(refusal_notice(Refusal::kBadDownloadAddress), nullptr);
  EXPECT_STREQ(refusal_notice(Refusal::kBadDownloadAddress)->text, kBadAddressText);
}

TEST(SaveFileSuffix, InsertsTheVersionTextAsRead) {
  EXPECT_EQ(save_file_suffix("1.19"), "\\Quadrivo V1.19.exe");
  EXPECT_EQ(save_file_suffix("1.19beta"), "\\Quadrivo V1.19beta.exe");
  EXPECT_EQ(save_file_suffix("１.１９"), "\\Quadrivo V\xA3\xB1.\xA3\xB1\xA3\xB9.exe");
}

TEST(ProgressCaptions, KilobytesAndPercentage) {
  struct Case {
    std::int32_t speed, received, size;
    const char* speed_kb;
    const char* received_kb;
    const char* total_kb;
    std::int32_t percent;
  };
  const Case cases[] = {
      {1536, 1024000, 2048000, "1", "1000", "2000", 50},
      {0, 512000, 1024000, "0", "500", "1000", 50},
      {0, 999, 1000, "0", "0", "0", 99},
      {1023, 5000, 1024000, "0", "4", "1000", 0},
      {0, 1024000, 1024000, "0", "1000", "1000", 100},
      {0, 0, -1, "0", "0", "0", 0},  // no file yet: not "-0"
      {0, 5, 0, "0", "0", "0", 0},   // file of size 0: the quotient is not finite
      {0, 0, 0, "0", "0", "0", 0},
      {2147483647, 2147483647, 2147483647, "2097151", "2097151", "2097151", 100},
  };
  for (const auto& c : cases) {
    const ProgressCaptions captions = progress_captions(c.speed, c.received, c.size);
    const std::string where = std::to_string(c.received) + " of " + std::to_string(c.size);
    EXPECT_EQ(captions.speed, gbk(u8"速度：") + c.speed_kb + "KB") << where;
    EXPECT_EQ(captions.received, gbk(u8"已下载：") + c.received_kb + "KB") << where;
    EXPECT_EQ(captions.total, gbk(u8"总大小：") + c.total_kb + "KB") << where;
    EXPECT_EQ(captions.percent, c.percent) << where;
    EXPECT_EQ(captions.percent_caption, gbk(u8"进度：") + std::to_string(c.percent) + "%") << where;
  }
}

TEST(ProgressCaptions, ThePercentageStaysWithinZeroAndAHundred) {
  struct Case {
    std::int32_t received, size, percent;
  };
  const Case cases[] = {
      {2000, 1000, 100},                  // more received than the size read at another moment
      {2147483647, 1, 100},
      {-5, 1000, 0},
      {5, -1, 0},                          // no file: a negative quotient
      {-2147483647 - 1, 2147483647, 0},
      {1000, 1000, 100},
      {999, 1000, 99},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download_percent(c.received, c.size), c.percent) << c.received << " of " << c.size;
    const ProgressCaptions captions = progress_captions(0, c.received, c.size);
    EXPECT_EQ(captions.percent, c.percent);
    EXPECT_EQ(captions.percent_caption, gbk(u8"进度：") + std::to_string(c.percent) + "%");
  }
}

TEST(ProgressCaptions, WithoutAnAnnouncedLengthNoTotalIsClaimed) {
  const ProgressCaptions captions = progress_captions_without_total(2048, 1536000);
  EXPECT_EQ(captions.speed, gbk(u8"速度：2KB"));
  EXPECT_EQ(captions.received, gbk(u8"已下载：1500KB"));
  EXPECT_EQ(captions.total, gbk(u8"总大小：未知"));
  EXPECT_EQ(captions.percent, 0);
  EXPECT_EQ(captions.percent_caption, gbk(u8"进度：0%"));
}

TEST(ProgressCaptions, ACompletedTransferShowsBothSizesAndAHundred) {
  for (const std::int32_t size : {2048000, 1, 0}) {
    const ProgressCaptions captions = completed_captions(size);
    const std::string kilobytes = std::to_string(size / 1024);
    EXPECT_EQ(captions.received, gbk(u8"已下载：") + kilobytes + "KB") << size;
    EXPECT_EQ(captions.total, gbk(u8"总大小：") + kilobytes + "KB") << size;
    EXPECT_EQ(captions.percent, 100) << size;
    EXPECT_EQ(captions.percent_caption, gbk(u8"进度：100%")) << size;
  }
}

TEST(LoggableServerText, ControlCharactersBecomeBlanksAndTheLengthIsBounded) {
  const std::string chinese = gbk(u8"正式版");
  struct Case {
    const char* name;
    std::string text;
    std::string loggable;
  };
  const Case cases[] = {
      {"ordinary text unchanged", "1.19beta", "1.19beta"},
      {"address unchanged", "http://h/x.exe?a=1&b=2", "http://h/x.exe?a=1&b=2"},
      {"GBK unchanged", "1.19" + chinese, "1.19" + chinese},
      {"line breaks", "1.19\r\n2026-12-11 10:00:00 [Exit] x", "1.19  2026-12-11 10:00:00 [Exit] x"},
      {"tab, NUL, DEL, escape", std::string("a\tb\0c\x7F" "d\x1B", 8), "a b c d "},
      {"a lone lead byte before a control byte", "1\x81\n", "1\x81 "},
      {"exactly 200 bytes", std::string(200, 'x'), std::string(200, 'x')},
      {"cut at 200 bytes", std::string(250, 'x'), std::string(200, 'x')},
      {"never inside a double-byte character", std::string(199, 'x') + chinese, std::string(199, 'x')},
      {"a character ending at 200 stays", std::string(198, 'x') + chinese, std::string(198, 'x') + chinese.substr(0, 2)},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(loggable_server_text(c.text), c.loggable) << c.name;
    EXPECT_LE(loggable_server_text(c.text).size(), kLoggedServerTextLimit) << c.name;
  }
  // The version entry takes the offered text through it.
  EXPECT_EQ(old_new_version_log_text("1.18", "1.19\r\nforged"), "Old Version:1.18  New Version:1.19  forged");
  EXPECT_EQ(old_new_version_log_text("1.18", std::string(300, '9')).size(),
            std::string("Old Version:1.18  New Version:").size() + 200);
}

TEST(XmlText, ChildQueriesAreRootSlashAtNumber) {
  const auto query = parse_child_query("Update/@2");
  ASSERT_TRUE(query.has_value());
  EXPECT_EQ(query->root_name, "Update");
  EXPECT_EQ(query->child_number, 2);
  EXPECT_EQ(parse_child_query("Update/@12")->child_number, 12);
  for (const char* bad : {"Update", "Update/@", "Update/@0", "Update/@01", "Update/@-1", "Update/@1x", "/@1",
                          "Update/@ 1", "A/B/@1", "Update/@99999999999"}) {
    EXPECT_FALSE(parse_child_query(bad).has_value()) << bad;
  }
}

TEST(XmlText, ValuesLoseBlanksTabsCrAndLfAtTheirEnds) {
  EXPECT_EQ(trim_value_blanks(" \t\r\n1.19\r\n\t "), "1.19");
  EXPECT_EQ(trim_value_blanks("1 . 19"), "1 . 19");
  EXPECT_EQ(trim_value_blanks(" \r\n "), "");
  // The ideographic space is not one of them.
  EXPECT_EQ(trim_value_blanks(gbk(u8"　1.19")), gbk(u8"　1.19"));
}

TEST(XmlText, GbkDeclaredDocumentsBecomeUtf8) {
  const std::string body = gbk(u8"<Update><a>u</a><b>1.19正式版</b></Update>");
  const std::string utf8_body = reinterpret_cast<const char*>(u8"<Update><a>u</a><b>1.19正式版</b></Update>");
  const struct {
    std::string declaration;
    std::string converted;  // "" for unchanged
  } cases[] = {
      {"<?xml version=\"1.0\" encoding=\"GBK\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
      {"<?xml version='1.0' encoding='gb2312' standalone='yes'?>",
       "<?xml version='1.0' encoding='UTF-8' standalone='yes'?>"},
      {"<?xml version=\"1.0\" encoding = \"GB18030\"?>", "<?xml version=\"1.0\" encoding = \"UTF-8\"?>"},
      {"<?xml version=\"1.0\" encoding=\"cp936\"?>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(declared_encoding(c.declaration + body).empty(), false) << c.declaration;
    EXPECT_EQ(readable_document(c.declaration + body), c.converted + utf8_body) << c.declaration;
  }
  // Not GBK after all: no document.
  EXPECT_FALSE(readable_document("<?xml version=\"1.0\" encoding=\"GBK\"?><a>\x81</a>").has_value());
}

TEST(XmlText, OtherDocumentsPassUnlessTheirUtf8IsBroken) {
  const std::string utf8_doc = reinterpret_cast<const char*>(u8"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>版</a>");
  EXPECT_EQ(declared_encoding(utf8_doc), "UTF-8");
  EXPECT_EQ(readable_document(utf8_doc), utf8_doc);
  EXPECT_EQ(readable_document("<a>x</a>"), std::string("<a>x</a>"));
  EXPECT_EQ(declared_encoding("<a>x</a>"), "");
  EXPECT_EQ(declared_encoding("<?xml-stylesheet href='a'?><a/>"), "");
  const std::string utf16("\xFF\xFE<\0a\0/\0>\0", 8);
  EXPECT_EQ(readable_document(utf16), utf16);
  const std::string latin = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xE9</a>";
  EXPECT_EQ(readable_document(latin), latin);
  EXPECT_FALSE(readable_document("<a>\xE9</a>").has_value());
  EXPECT_FALSE(readable_document("<?xml version=\"1.0\" encoding=\"utf-8\"?><a>\xC0\xAF</a>").has_value());
}

TEST(XmlText, Utf8Validity) {
  const struct {
    const char* bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"plain", true},
      {"\xE7\x89\x88", true},              // 版
      {"\xF0\x9F\x98\x80", true},          // U+1F600
      {"\xC0\xAF", false},                  // overlong "/"
      {"\xE0\x80\xAF", false},              // overlong "/"
      {"\xED\xA0\x80", false},              // a surrogate
      {"\xF4\x90\x80\x80", false},          // past U+10FFFF
      {"\xE7\x89", false},                  // cut off
      {"\x80", false},                      // a lone trail byte
      {"\xFF", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << c.bytes;
}

}  // namespace
}  // namespace quadrivo::update
