// What Quadrivo.exe carries for Windows itself, read back from the built file: the application
// manifest (visual styles, supported systems, DPI, privileges) and the icon group, and the About
// window showing that same icon.
#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>
#include <objidl.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/win/about_window.h"
#include "common/version.h"
#include "common/win/handles.h"
#include "app/win/resource_ids.h"
#include "tests/win/support/test_support.h"
#include "common/win/wide_text.h"

namespace quadrivo {
namespace {

// The built program as a resource file: no code of it runs.
win::UniqueLibrary load_program_resources() {
  const std::wstring path = test::build_bin_directory() + L"\\Quadrivo.exe";
  return win::UniqueLibrary(
      LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::optional<std::string> resource_bytes(HMODULE module, const wchar_t* name, const wchar_t* type) {
  const HRSRC found = FindResourceW(module, name, type);
  if (!found) return std::nullopt;
  const HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return std::nullopt;
  return std::string(static_cast<const char*>(data), SizeofResource(module, found));
}

// ---------------------------------------------------------------- manifest

// One element of the manifest: its namespace, local name, attributes and text, and the local
// names of the elements around it, outermost first.
struct Element {
  std::wstring ns, name, text;
  std::vector<std::wstring> parents;
  std::map<std::wstring, std::wstring> attributes;
  std::wstring path() const {
    std::wstring joined;
    for (const auto& parent : parents) joined += parent + L"/";
    return joined + name;
  }
};

template <typename Interface>
struct ComReleaser {
  void operator()(Interface* pointer) const {
    if (pointer) pointer->Release();
  }
};

// Every element of the document in document order; nothing when it is not well-formed.
std::optional<std::vector<Element>> parse_manifest(const std::string& bytes) {
  std::unique_ptr<IStream, ComReleaser<IStream>> stream(
      SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<UINT>(bytes.size())));
  IXmlReader* raw_reader = nullptr;
  if (!stream || FAILED(CreateXmlReader(__uuidof(IXmlReader), reinterpret_cast<void**>(&raw_reader), nullptr))) {
    return std::nullopt;
  }
  std::unique_ptr<IXmlReader, ComReleaser<IXmlReader>> reader(raw_reader);
  reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
  if (FAILED(reader->SetInput(stream.get()))) return std::nullopt;

  std::vector<Element> elements;
  std::vector<std::size_t> open;  // indices of the elements around the current node
  const auto text_of = [&](auto getter) {
    const wchar_t* value = nullptr;
    UINT length = 0;
    (reader.get()->*getter)(&value, &length);
    return std::wstring(value ? value : L"", length);
  };
  XmlNodeType node;
  HRESULT result;
  while ((result = reader->Read(&node)) == S_OK) {
    switch (node) {
      case XmlNodeType_Element: {
        Element element;
        element.name = text_of(&IXmlReader::GetLocalName);
        element.ns = text_of(&IXmlReader::GetNamespaceUri);
        for (const std::size_t index : open) element.parents.push_back(elements[index].name);
        const bool empty = reader->IsEmptyElement();
        for (HRESULT more = reader->MoveToFirstAttribute(); more == S_OK; more = reader->MoveToNextAttribute()) {
          if (reader->IsDefault()) continue;
          const std::wstring prefix = text_of(&IXmlReader::GetPrefix);
          const std::wstring local = text_of(&IXmlReader::GetLocalName);
          if (prefix == L"xmlns" || (prefix.empty() && local == L"xmlns")) continue;
          element.attributes[local] = text_of(&IXmlReader::GetValue);
        }
        reader->MoveToElement();
        elements.push_back(std::move(element));
        if (!empty) open.push_back(elements.size() - 1);
        break;
      }
      case XmlNodeType_EndElement:
        if (!open.empty()) open.pop_back();
        break;
      case XmlNodeType_Text:
      case XmlNodeType_CDATA:
        if (!open.empty()) elements[open.back()].text += text_of(&IXmlReader::GetValue);
        break;
      default:
        break;
    }
  }
  if (FAILED(result) || !open.empty()) return std::nullopt;
  return elements;
}

std::wstring lower(std::wstring text) {
  for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

std::wstring trimmed(const std::wstring& text) {
  const auto first = text.find_first_not_of(L" \t\r\n");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

class Manifest : public testing::Test {
 protected:
  void SetUp() override {
    const auto program = load_program_resources();
    ASSERT_TRUE(program) << "Quadrivo.exe cannot be opened for its resources";
    const auto bytes = resource_bytes(program.get(), CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
    ASSERT_TRUE(bytes.has_value()) << "no RT_MANIFEST resource 1: Windows would run the program without it";
    const auto parsed = parse_manifest(*bytes);
    ASSERT_TRUE(parsed.has_value()) << "the embedded manifest is not well-formed XML";
    elements_ = *parsed;
    ASSERT_FALSE(elements_.empty());
  }

  std::vector<const Element*> all(const std::wstring& path) const {
    std::vector<const Element*> found;
    for (const auto& element : elements_) {
      if (element.path() == path) found.push_back(&element);
    }
    return found;
  }
  std::vector<const Element*> named(const std::wstring& name) const {
    std::vector<const Element*> found;
    for (const auto& element : elements_) {
      if (element.name == name) found.push_back(&element);
    }
    return found;
  }

  std::vector<Element> elements_;
};

TEST_F(Manifest, IsAnAssemblyOfTheReleaseForX86) {
  EXPECT_EQ(elements_[0].path(), L"assembly");
  EXPECT_EQ(elements_[0].ns, L"urn:schemas-microsoft-com:asm.v1");
  EXPECT_EQ(elements_[0].attributes[L"manifestVersion"], L"1.0");
  const auto identity = all(L"assembly/assemblyIdentity");
  ASSERT_EQ(identity.size(), 1u);
  EXPECT_EQ(identity[0]->attributes.at(L"name"), L"Quadrivo");
  EXPECT_EQ(identity[0]->attributes.at(L"version"), win::gbk_to_wide(QUADRIVO_FILE_VERSION_TEXT))
      << "the same number as the version block";
  EXPECT_EQ(identity[0]->attributes.at(L"processorArchitecture"), L"x86");
}

TEST_F(Manifest, AsksForCommonControlsSixSoTheControlsHaveVisualStyles) {
  const auto dependencies = all(L"assembly/dependency/dependentAssembly/assemblyIdentity");
  ASSERT_EQ(dependencies.size(), 1u);
  const auto& attributes = dependencies[0]->attributes;
  EXPECT_EQ(attributes.at(L"type"), L"win32");
  EXPECT_EQ(attributes.at(L"name"), L"Microsoft.Windows.Common-Controls");
  EXPECT_EQ(attributes.at(L"version"), L"6.0.0.0");
  EXPECT_EQ(attributes.at(L"publicKeyToken"), L"6595b64144ccf1df");
  const std::wstring architecture = attributes.at(L"processorArchitecture");
  EXPECT_TRUE(architecture == L"x86" || architecture == L"*") << win::wide_to_utf8(architecture);
}

TEST_F(Manifest, DeclaresWindowsSevenToElevenAsSupported) {
  const auto systems = all(L"assembly/compatibility/application/supportedOS");
  std::set<std::wstring> ids;
  for (const Element* system : systems) {
    EXPECT_EQ(system->ns, L"urn:schemas-microsoft-com:compatibility.v1");
    ids.insert(lower(system->attributes.at(L"Id")));
  }
  const std::set<std::wstring> expected = {
      L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
      L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
      L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
      L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
  };
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(systems.size(), expected.size()) << "each system once";
}

TEST_F(Manifest, LeavesTheProgramDpiUnawareSoWindowsScalesTheForm) {
  // Either no DPI setting at all, or one that says unaware; nothing may claim awareness.
  for (const Element* setting : named(L"dpiAware")) {
    EXPECT_EQ(lower(trimmed(setting->text)), L"false") << "dpiAware must not be " << win::wide_to_utf8(setting->text);
  }
  for (const Element* setting : named(L"dpiAwareness")) {
    EXPECT_EQ(lower(trimmed(setting->text)), L"unaware") << win::wide_to_utf8(setting->text);
  }
  for (const Element* setting : named(L"gdiScaling")) {
    EXPECT_EQ(lower(trimmed(setting->text)), L"false");
  }
}

TEST_F(Manifest, RunsAsInvokerWithoutUiAccess) {
  const auto levels = all(L"assembly/trustInfo/security/requestedPrivileges/requestedExecutionLevel");
  ASSERT_EQ(levels.size(), 1u);
  EXPECT_EQ(levels[0]->attributes.at(L"level"), L"asInvoker");
  const auto ui_access = levels[0]->attributes.find(L"uiAccess");
  if (ui_access != levels[0]->attributes.end()) {
    EXPECT_EQ(ui_access->second, L"false");
  }
}

// ---------------------------------------------------------------- icon

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colour_count, reserved;
  WORD planes, bit_count;
  DWORD bytes_in_resource;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

struct IconImage {
  int width, height, bit_count;
  std::string bytes;  // the RT_ICON resource the entry names
};

std::vector<IconImage> icon_group(HMODULE module, const wchar_t* name) {
  std::vector<IconImage> images;
  const auto group = resource_bytes(module, name, RT_GROUP_ICON);
  if (!group || group->size() < sizeof(GroupIconHeader)) return images;
  const auto* header = reinterpret_cast<const GroupIconHeader*>(group->data());
  if (group->size() < sizeof(GroupIconHeader) + header->count * sizeof(GroupIconEntry)) return images;
  const auto* entries = reinterpret_cast<const GroupIconEntry*>(group->data() + sizeof(GroupIconHeader));
  for (WORD i = 0; i < header->count; ++i) {
    const GroupIconEntry& entry = entries[i];
    const auto image = resource_bytes(module, MAKEINTRESOURCEW(entry.id), RT_ICON);
    // A width or height of 0 in a group entry means 256.
    images.push_back({entry.width ? entry.width : 256, entry.height ? entry.height : 256, entry.bit_count,
                      image.value_or(std::string())});
    if (image) {
      EXPECT_EQ(image->size(), entry.bytes_in_resource) << "icon image " << entry.id;
    }
  }
  return images;
}

BOOL CALLBACK collect_group_name(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
  if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<WORD>*>(names)->push_back(LOWORD(name));
  return TRUE;
}

// The pixels of an icon drawn at its own size on white: what a window showing it displays.
std::vector<DWORD> rendered(HICON icon, int side) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = side;
  info.bmiHeader.biHeight = -side;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  const win::UniqueBitmap bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  std::vector<DWORD> pixels;
  if (bitmap && bits) {
    const HGDIOBJ old = SelectObject(dc, bitmap.get());
    const RECT all{0, 0, side, side};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(dc, 0, 0, icon, side, side, 0, nullptr, DI_NORMAL);
    GdiFlush();
    pixels.assign(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + side * side);
    SelectObject(dc, old);
  }
  DeleteDC(dc);
  return pixels;
}

SIZE icon_size(HICON icon) {
  ICONINFO info{};
  SIZE size{0, 0};
  if (!GetIconInfo(icon, &info)) return size;
  BITMAP bitmap{};
  GetObjectW(info.hbmMask, sizeof bitmap, &bitmap);
  size.cx = bitmap.bmWidth;
  size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;  // a monochrome mask holds both halves
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return size;
}

TEST(ProgramIcon, IsTheFirstIconGroupAndHolds16And32And48Pixels) {
  const auto program = load_program_resources();
  ASSERT_TRUE(program);
  // Explorer and the taskbar show the group with the lowest number.
  std::vector<WORD> groups;
  EnumResourceNamesW(program.get(), RT_GROUP_ICON, collect_group_name, reinterpret_cast<LONG_PTR>(&groups));
  ASSERT_FALSE(groups.empty()) << "Quadrivo.exe has no icon";
  EXPECT_EQ(*std::min_element(groups.begin(), groups.end()), WORD{IDI_QUADRIVO});

  const auto images = icon_group(program.get(), MAKEINTRESOURCEW(IDI_QUADRIVO));
  std::set<int> sides;
  for (const auto& image : images) {
    SCOPED_TRACE(image.width);
    EXPECT_EQ(image.width, image.height) << "square";
    EXPECT_EQ(image.bit_count, 32) << "colour with an alpha channel";
    ASSERT_FALSE(image.bytes.empty()) << "the group names an icon image that is missing";
    // The image itself decodes to the size its group entry announces.
    const HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.bytes.data())),
                                                static_cast<DWORD>(image.bytes.size()), TRUE, 0x00030000, 0, 0,
                                                LR_DEFAULTCOLOR);
    ASSERT_NE(icon, nullptr);
    const SIZE size = icon_size(icon);
    EXPECT_EQ(size.cx, image.width);
    EXPECT_EQ(size.cy, image.height);
    DestroyIcon(icon);
    sides.insert(image.width);
  }
  EXPECT_EQ(sides, (std::set<int>{16, 32, 48}));
  EXPECT_EQ(images.size(), 3u) << "one image per size";
}

// What the About window showed, seen from a timer inside its modal loop.
struct AboutIcon {
  bool seen = false;
  SIZE size{};
  RECT box{};
  std::vector<DWORD> pixels;
};
AboutIcon* about_icon = nullptr;

BOOL CALLBACK find_icon_static(HWND child, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(child, name, 16);
  if (lstrcmpiW(name, L"Static") == 0 && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(found) = child;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK inspect_about_icon(HWND, UINT, UINT_PTR timer, DWORD) {
  const HWND about = FindWindowW(app::kAboutClassName, nullptr);
  if (!about || !IsWindowVisible(about)) return;
  KillTimer(nullptr, timer);
  HWND picture = nullptr;
  EnumChildWindows(about, find_icon_static, reinterpret_cast<LPARAM>(&picture));
  if (picture) {
    about_icon->seen = true;
    GetWindowRect(picture, &about_icon->box);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&about_icon->box), 2);
    const auto icon = reinterpret_cast<HICON>(SendMessageW(picture, STM_GETICON, 0, 0));
    if (icon) {
      about_icon->size = icon_size(icon);
      about_icon->pixels = rendered(icon, about_icon->size.cx);
    }
  }
  PostMessageW(about, WM_CLOSE, 0, 0);
}

TEST(ProgramIcon, TheAboutWindowShowsThe32PixelImageOfTheProgramsIcon) {
  // The banner beside the icon is decoded through COM, as in the program.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  AboutIcon seen;
  about_icon = &seen;
  SetTimer(nullptr, 0, 30, inspect_about_icon);
  app::run_about_window();  // returns when the timer has closed it
  about_icon = nullptr;
  if (SUCCEEDED(com)) CoUninitialize();
  ASSERT_TRUE(seen.seen) << "no About window with an icon picture";
  EXPECT_EQ(seen.box.left, 6);
  EXPECT_EQ(seen.box.top, 72);
  EXPECT_EQ(seen.box.right - seen.box.left, 32);
  EXPECT_EQ(seen.box.bottom - seen.box.top, 32);
  ASSERT_EQ(seen.size.cx, 32);
  ASSERT_EQ(seen.size.cy, 32);

  // The same picture as the 32-pixel image Quadrivo.exe carries, pixel for pixel.
  const auto program = load_program_resources();
  ASSERT_TRUE(program);
  const auto images = icon_group(program.get(), MAKEINTRESOURCEW(IDI_QUADRIVO));
  const auto image = std::find_if(images.begin(), images.end(), [](const IconImage& i) { return i.width == 32; });
  ASSERT_NE(image, images.end());
  const HICON expected = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image->bytes.data())),
                                                  static_cast<DWORD>(image->bytes.size()), TRUE, 0x00030000, 32, 32,
                                                  LR_DEFAULTCOLOR);
  ASSERT_NE(expected, nullptr);
  const auto expected_pixels = rendered(expected, 32);
  DestroyIcon(expected);
  ASSERT_EQ(seen.pixels.size(), expected_pixels.size());
  EXPECT_TRUE(seen.pixels == expected_pixels) << "the About window shows another picture than the program's icon";
  // Not a blank square either.
  EXPECT_GT(std::count_if(expected_pixels.begin(), expected_pixels.end(), [](DWORD p) { return (p & 0xFFFFFF) != 0xFFFFFF; }),
            100);
}

}  // namespace
}  // namespace quadrivo
