// Every deliverable carries the release's version block, read back as Windows' file properties
// would show it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/version.h"
#include "tests/win/support/test_support.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

struct VersionBlock {
  DWORD file_version_ms = 0, file_version_ls = 0, file_type = 0;
  std::wstring file_version, product_version, product_name, file_description, original_file_name;
};

std::wstring string_value(const std::vector<BYTE>& block, const wchar_t* name) {
  const std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value), length - 1);
}

bool read_version_block(const std::wstring& path, VersionBlock& out) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return false;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return false;
  out.file_version_ms = fixed->dwFileVersionMS;
  out.file_version_ls = fixed->dwFileVersionLS;
  out.file_type = fixed->dwFileType;
  out.file_version = string_value(block, L"FileVersion");
  out.product_version = string_value(block, L"ProductVersion");
  out.product_name = string_value(block, L"ProductName");
  out.file_description = string_value(block, L"FileDescription");
  out.original_file_name = string_value(block, L"OriginalFilename");
  return true;
}

struct Deliverable {
  const wchar_t* file_name;
  const wchar_t* description;
  DWORD file_type;
};

class VersionInfo : public testing::TestWithParam<Deliverable> {};

TEST_P(VersionInfo, CarriesTheRelease) {
  const std::wstring name = GetParam().file_name;
  VersionBlock block;
  ASSERT_TRUE(read_version_block(test::build_bin_directory() + L"\\" + name, block)) << win::wide_to_utf8(name);
  // The release's one version source.
  constexpr WORD kNumbers[] = {QUADRIVO_VERSION_BINARY};
  EXPECT_EQ(block.file_version_ms, DWORD{(DWORD{kNumbers[0]} << 16) | kNumbers[1]});
  EXPECT_EQ(block.file_version_ls, DWORD{(DWORD{kNumbers[2]} << 16) | kNumbers[3]});
  EXPECT_EQ(block.file_version, win::gbk_to_wide(QUADRIVO_FILE_VERSION_TEXT));
  EXPECT_EQ(block.product_version, win::gbk_to_wide(QUADRIVO_PRODUCT_VERSION_TEXT));
  EXPECT_EQ(block.product_name, win::gbk_to_wide(QUADRIVO_PRODUCT_NAME));
  EXPECT_EQ(block.original_file_name, name);
  EXPECT_EQ(block.file_description, GetParam().description);
  EXPECT_EQ(block.file_type, GetParam().file_type) << "program or library";
}

INSTANTIATE_TEST_SUITE_P(Deliverables, VersionInfo,
                         testing::Values(Deliverable{L"Quadrivo.exe", L"Quadrivo 24 点速算训练", VFT_APP},
                                         Deliverable{L"Scribbet.dll", L"Quadrivo 活动日志模块", VFT_DLL},
                                         Deliverable{L"Novavis.dll", L"Quadrivo 在线更新模块", VFT_DLL}));

}  // namespace
}  // namespace quadrivo
