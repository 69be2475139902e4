// Kelvorat.dll as the host editor uses it: loaded with LoadLibrary, every
// export found by name and by ordinal and called with the stdcall
// convention, its resources read with the Win32 resource and version calls,
// and its command driven through a real window and a real popup menu, under
// Wine and an X display of its own.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "engine/Catalogue.h"
#include "tests/wine/WineHost.h"

namespace kelvorat::wine_test {
namespace {

using host::LParam;
using host::MessageResult;
using host::SimulatedEditor;

constexpr std::uint32_t kGetName = 2306;
constexpr std::uint32_t kGetVersion = 2308;
constexpr std::uint32_t kCanUninstall = 2310;
constexpr std::uint32_t kConfirmUninstall = 2311;

// Where the mouse stands when a command starts: the menu's top-left corner.
constexpr int kCursorX = 120;
constexpr int kCursorY = 90;

const std::u16string kMenuText = u"ソースコードのコメント部分を削除/抽出";
const std::u16string kStatusText =
    u"C/C++(Java,C#)/VB/DelphiPascal/HTMLのソースからコメント部分を削除か抽出をする\nコメントを削除や抽出する";

std::string Utf8(const std::u16string& text) { return host::QuoteText(text); }

// One window for all the tests: under Wine without a window manager,
// destroying a visible window waits two seconds.
HostWindow& SharedWindow(SimulatedEditor& editor) {
  static HostWindow* window = new HostWindow(editor);
  window->SetEditor(editor);
  window->Noted() = {};
  return *window;
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(window.Handle(), nullptr) << "no window: " << GetLastError();
    ASSERT_EQ(plugin.Error(), "");
    editor.ClearLog();
  }

  // Runs the command with the menu answered as choice; answers what the
  // menu picker saw.
  MenuPicker::Result RunCommand(int choice) {
    SetCursorPos(kCursorX, kCursorY);
    HostWindow::Pump();
    MenuPicker picker(choice);
    plugin.OnCommand(window.Handle());
    MenuPicker::Result seen = picker.Finish();
    HostWindow::Pump();
    return seen;
  }

  SimulatedEditor editor{{}, kWrapWidth};
  HostWindow& window = SharedWindow(editor);
  Plugin plugin;
};

// ---- The module ----

TEST_F(PluginTest, EveryExportIsFoundByNameAndByOrdinal) {
  // Plugin's constructor compared the two lookups; here only what it must not find.
  EXPECT_EQ(GetProcAddress(plugin.Module(), MAKEINTRESOURCEA(8)), nullptr);
  EXPECT_EQ(GetProcAddress(plugin.Module(), "OnCommand@4"), nullptr);
  EXPECT_EQ(GetProcAddress(plugin.Module(), "_OnCommand@4"), nullptr);
}

TEST_F(PluginTest, EveryExportRemovesItsArgumentsFromTheStack) {
  editor.SetStatusReply(1);
  for (const ExportInfo& e : kExports) {
    SCOPED_TRACE(e.name);
    std::int32_t flag = 0;
    std::vector<std::uint32_t> arguments;
    // The window first, then harmless values: a flag pointer, no event bit,
    // an unknown request.
    if (e.arguments > 0) arguments.push_back(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window.Handle())));
    if (e.arguments > 1) arguments.push_back(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&flag)));
    while (static_cast<int>(arguments.size()) < e.arguments) arguments.push_back(0);
    std::unique_ptr<MenuPicker> picker;
    if (e.ordinal == 1) picker = std::make_unique<MenuPicker>(kDismiss);
    EXPECT_EQ(StackLeftByCall(plugin.ByOrdinal(e.ordinal), arguments), 0u)
        << "the caller had to remove the arguments: not stdcall";
    if (picker) {
      EXPECT_EQ(picker->Finish().error, "");
    }
  }
}

TEST_F(PluginTest, IdentityIds) {
  EXPECT_EQ(plugin.GetMenuTextID(), 1);
  EXPECT_EQ(plugin.GetStatusMessageID(), 2);
  EXPECT_EQ(plugin.GetBitmapID(), 101);
}

// ---- Resources ----

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) {
  reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
  return TRUE;
}

TEST_F(PluginTest, StringsOfLanguage1041) {
  const struct {
    int id;
    const std::u16string& text;
  } strings[] = {{plugin.GetMenuTextID(), kMenuText}, {plugin.GetStatusMessageID(), kStatusText}};
  // The strings 0 to 15 make block 1, in Japanese and in no other language.
  const HRSRC block = FindResourceExW(plugin.Module(), RT_STRING, MAKEINTRESOURCEW(1),
                                      MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
  ASSERT_NE(block, nullptr);
  std::vector<WORD> languages;
  EnumResourceLanguagesW(plugin.Module(), RT_STRING, MAKEINTRESOURCEW(1), &AddLanguage,
                         reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{0x0411});
  const auto* units = static_cast<const char16_t*>(LockResource(LoadResource(plugin.Module(), block)));
  ASSERT_NE(units, nullptr);
  std::vector<std::u16string> inBlock;  // each string: its length, then its code units
  for (int i = 0; i < 16; ++i) {
    inBlock.emplace_back(units + 1, units[0]);
    units += 1 + units[0];
  }
  for (const auto& s : strings) {
    SCOPED_TRACE("string " + std::to_string(s.id));
    EXPECT_EQ(Utf8(inBlock[static_cast<std::size_t>(s.id)]), Utf8(s.text));
    wchar_t buffer[512] = {};
    const int length = LoadStringW(plugin.Module(), static_cast<UINT>(s.id), buffer, 512);
    EXPECT_EQ(Utf8(std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(length))),
              Utf8(s.text));
  }
  for (int i = 0; i < 16; ++i) {
    if (i != 1 && i != 2) {
      EXPECT_EQ(inBlock[static_cast<std::size_t>(i)], u"") << "string " << i;
    }
  }
}

// The pixel art the bitmap is drawn from, with the colours it names.
std::vector<std::string> PixelArt() {
  std::ifstream in("resources/Kelvorat.bitmap.txt");
  std::vector<std::string> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') rows.push_back(line);
  }
  return rows;
}

TEST_F(PluginTest, Bitmap101Is808BytesOf24BitPixels) {
  const HRSRC resource = FindResourceW(plugin.Module(), MAKEINTRESOURCEW(plugin.GetBitmapID()), RT_BITMAP);
  ASSERT_NE(resource, nullptr);
  ASSERT_EQ(SizeofResource(plugin.Module(), resource), 808u);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(plugin.Module(), resource)));
  ASSERT_NE(bytes, nullptr);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof header);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 16);
  EXPECT_EQ(header.biHeight, 16) << "positive: rows bottom-up";
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 768u);
  EXPECT_EQ(header.biXPelsPerMeter, 3780);
  EXPECT_EQ(header.biYPelsPerMeter, 3780);
  EXPECT_EQ(header.biClrUsed, 0u);
  EXPECT_EQ(header.biClrImportant, 0u);

  const std::vector<std::string> art = PixelArt();
  ASSERT_EQ(art.size(), 16u) << "resources/Kelvorat.bitmap.txt unreadable from the working folder?";
  const std::map<char, std::array<unsigned char, 3>> colours = {  // blue, green, red as stored
      {'.', {192, 192, 192}}, {'B', {255, 0, 0}}, {'N', {128, 0, 0}}, {'R', {0, 0, 255}}};
  std::map<char, int> counts;
  for (int row = 0; row < 16; ++row) {
    for (int column = 0; column < 16; ++column) {
      const char c = art[static_cast<std::size_t>(row)].at(static_cast<std::size_t>(column));
      ASSERT_EQ(colours.count(c), 1u) << "pixel " << c;
      ++counts[c];
      const unsigned char* pixel = bytes + 40 + (15 - row) * 48 + column * 3;
      const std::array<unsigned char, 3> stored{pixel[0], pixel[1], pixel[2]};
      EXPECT_EQ(stored, colours.at(c)) << "row " << row << " from the top, column " << column;
      // Letters in the upper half, the slashes at the lower left, the cross at the lower right.
      const bool where = c == 'B' ? row < 8 : c == 'N' ? row >= 8 && column < 8 : c == 'R' ? row >= 8 && column >= 8 : true;
      EXPECT_TRUE(where) << c << " at row " << row << ", column " << column;
    }
  }
  for (const char c : {'.', 'B', 'N', 'R'}) EXPECT_GT(counts[c], 0) << "no pixel " << c;

  // As the host loads it.
  const HBITMAP bitmap = LoadBitmapW(plugin.Module(), MAKEINTRESOURCEW(101));
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0);
  EXPECT_EQ(info.bmWidth, 16);
  EXPECT_EQ(info.bmHeight, 16);
  DeleteObject(bitmap);
}

TEST_F(PluginTest, VersionRecord) {
  const std::wstring path = Plugin::Path();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u) << "2.0";
  EXPECT_EQ(fixed->dwFileVersionLS, 0u) << ".0.0";
  EXPECT_EQ(fixed->dwProductVersionMS, 0u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, 0u);
  EXPECT_EQ(fixed->dwFileType, 0u);
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);

  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 1200);

  const struct {
    const wchar_t* name;
    std::u16string text;
  } fields[] = {{L"FileVersion", u"2.0.0.0"},  {L"CompanyName", u""},      {L"FileDescription", u""},
                {L"InternalName", u""},        {L"LegalCopyright", u""},   {L"LegalTrademarks", u""},
                {L"OriginalFilename", u""},    {L"ProductName", u""},      {L"ProductVersion", u""}};
  for (const auto& field : fields) {
    const std::wstring key = std::wstring(L"\\StringFileInfo\\041104b0\\") + field.name;
    SCOPED_TRACE(std::string(key.begin(), key.end()));
    value = nullptr;
    length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), key.c_str(), &value, &length)) << "absent";
    const std::u16string text = value == nullptr ? u"" : std::u16string(static_cast<const char16_t*>(value));
    EXPECT_EQ(Utf8(text), Utf8(field.text));
  }
}

// ---- PlugInProc ----

struct ProcCase {
  const char* name;
  std::uint32_t code;
  WPARAM size;       // wParam: the buffer's size in bytes
  bool buffer;       // lParam: a buffer of 64 bytes, or null
  std::int32_t result;
  std::string written;  // the bytes the buffer must start with (the zero included)
};

class PlugInProcTest : public PluginTest, public ::testing::WithParamInterface<ProcCase> {};

TEST_P(PlugInProcTest, AnswersAndWritesNoMoreThanAsked) {
  const ProcCase& c = GetParam();
  std::array<char, 64> buffer;
  buffer.fill('\xCC');
  const LPARAM address = c.buffer ? reinterpret_cast<LPARAM>(buffer.data()) : 0;
  EXPECT_EQ(plugin.PlugInProc(window.Handle(), c.code, c.size, address), c.result);
  EXPECT_EQ(std::string(buffer.data(), c.written.size()), c.written);
  for (std::size_t i = c.written.size(); i < buffer.size(); ++i) {
    ASSERT_EQ(buffer[i], '\xCC') << "byte " << i << " written";
  }
  EXPECT_TRUE(editor.Log().empty()) << "a message was sent";
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Codes, PlugInProcTest,
    ::testing::Values(ProcCase{"NameNullBuffer", kGetName, 64, false, 8, ""},
                      ProcCase{"NameFull", kGetName, 64, true, 8, "Kelvorat\0"s},
                      ProcCase{"NameExactFit", kGetName, 9, true, 8, "Kelvorat\0"s},
                      ProcCase{"NameOneShort", kGetName, 8, true, 8, "Kelvora\0"s},
                      ProcCase{"NameShort", kGetName, 4, true, 8, "Kel\0"s},
                      ProcCase{"NameOneByte", kGetName, 1, true, 8, "\0"s},
                      ProcCase{"NameSizeZero", kGetName, 0, true, 8, ""},
                      ProcCase{"VersionNullBuffer", kGetVersion, 64, false, 13, ""},
                      ProcCase{"VersionFull", kGetVersion, 64, true, 13, "version 2.0.0\0"s},
                      ProcCase{"VersionShort", kGetVersion, 6, true, 13, "versi\0"s},
                      ProcCase{"CanUninstall", kCanUninstall, 64, true, 1, ""},
                      ProcCase{"CanUninstallNull", kCanUninstall, 0, false, 1, ""},
                      ProcCase{"Code0", 0, 64, true, 0, ""},
                      ProcCase{"Code2304", 2304, 64, true, 0, ""},
                      ProcCase{"Code2305", 2305, 64, true, 0, ""},
                      ProcCase{"Code2307", 2307, 64, true, 0, ""},
                      ProcCase{"Code2309", 2309, 64, true, 0, ""},
                      ProcCase{"Code2312", 2312, 64, true, 0, ""},
                      ProcCase{"CodeAllBits", 0xFFFFFFFFu, 64, true, 0, ""}),
    [](const ::testing::TestParamInfo<ProcCase>& p) { return std::string(p.param.name); });

struct Answer {
  int button;
  std::int32_t result;
};

class ConfirmUninstallTest : public PluginTest, public ::testing::WithParamInterface<Answer> {};

TEST_P(ConfirmUninstallTest, AsksTheUserInAMessageBox) {
  BoxAnswerer answerer(GetParam().button);
  EXPECT_EQ(plugin.PlugInProc(window.Handle(), kConfirmUninstall, 0, 0), GetParam().result);
  const BoxAnswerer::Result& box = answerer.Finish();
  ASSERT_TRUE(box.shown) << box.error;
  EXPECT_EQ(box.error, "");
  EXPECT_EQ(box.owner, window.Handle());
  EXPECT_EQ(box.caption, "Kelvorat");
  EXPECT_EQ(Utf8(FromCp932(box.text)), Utf8(u"アンインストールしますか？"));
  EXPECT_TRUE(box.hasYes && box.hasNo) << "MB_YESNO";
  EXPECT_FALSE(box.hasOk || box.hasCancel) << "MB_YESNO";
  EXPECT_EQ(box.icon, LoadIconW(nullptr, IDI_QUESTION)) << "MB_ICONQUESTION";
}

INSTANTIATE_TEST_SUITE_P(Answers, ConfirmUninstallTest, ::testing::Values(Answer{IDYES, 1}, Answer{IDNO, 0}),
                         [](const ::testing::TestParamInfo<Answer>& p) {
                           return std::string(p.param.button == IDYES ? "Yes" : "No");
                         });

// ---- QueryStatus and OnEvents ----

TEST_F(PluginTest, QueryStatusPassesTheFlagPointerAndReadsTheLowByte) {
  const struct {
    MessageResult reply;
    std::int32_t result;
  } cases[] = {{256, 0}, {1, -1}, {-1, -1}, {0, 0}, {0x1FF, -1}, {0x7FFFFF00, 0}, {0x80, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE("the host answers " + std::to_string(c.reply));
    editor.ClearLog();
    editor.SetStatusReply(c.reply);
    std::int32_t flag = 0x5A5A5A5A;
    EXPECT_EQ(plugin.QueryStatus(window.Handle(), &flag), c.result);
    EXPECT_EQ(flag, 0x5A5A5A5A) << "the plug-in wrote through the flag pointer";
    ASSERT_EQ(editor.Log().size(), 1u);
    EXPECT_EQ(editor.Log()[0].message, host::HM_QUERY_STATUS);
    EXPECT_EQ(editor.Log()[0].wParam, 4201u);
    EXPECT_EQ(editor.Log()[0].lParam, reinterpret_cast<LParam>(&flag));
  }
}

TEST_F(PluginTest, OnEventsStoresFirstThenReplies) {
  // Each step on the freshly loaded module, in order: the flags, the lParam,
  // and the value the reply carries (none: no message).
  const struct {
    std::uint32_t flags;
    LPARAM lParam;
    std::optional<WPARAM> reply;
  } steps[] = {
      {0x40, 123, 0},                         // a reply before anything is stored carries 0
      {0x440, 77, 77},                        // both bits: stored first, so the reply carries it
      {0x400, 5, std::nullopt},               // stored, no reply
      {0x40, 999, 5},                         // the reply carries what was stored, not its own lParam
      {~0x440u, 1, std::nullopt},             // every other bit ignored
      {0x41, 0, 5},
      {0x440, -1, static_cast<WPARAM>(0xFFFFFFFFu)},
      {0, 8, std::nullopt},
  };
  int index = 0;
  for (const auto& s : steps) {
    SCOPED_TRACE("step " + std::to_string(index++));
    editor.ClearLog();
    plugin.OnEvents(window.Handle(), s.flags, s.lParam);
    if (!s.reply) {
      EXPECT_TRUE(editor.Log().empty());
      continue;
    }
    ASSERT_EQ(editor.Log().size(), 1u);
    EXPECT_EQ(editor.Log()[0].message, host::HM_EVENT_REPLY);
    EXPECT_EQ(editor.Log()[0].wParam, *s.reply);
    EXPECT_EQ(editor.Log()[0].lParam, 0);
  }
}

// ---- The command ----

TEST_F(PluginTest, MenuOfThirteenItemsAtTheCursor) {
  editor.SetText(u"x; // y\r\n");
  const MenuPicker::Result menu = RunCommand(kDismiss);
  ASSERT_TRUE(menu.shown) << menu.error;
  EXPECT_EQ(menu.error, "");
  EXPECT_EQ(menu.rect.left, kCursorX) << "the menu's left edge at the cursor";
  EXPECT_EQ(menu.rect.top, kCursorY) << "the menu's top edge at the cursor";
  ASSERT_EQ(menu.items.size(), 13u);
  std::vector<std::pair<std::uintptr_t, std::u16string>> expected;
  for (const CatalogueCommand& command : Catalogue()) {
    if (command.Id == 6) expected.emplace_back(0, u"(separator)");
    expected.emplace_back(command.Id, std::u16string(command.MenuLabel));
  }
  expected.emplace_back(0, u"(separator)");
  expected.emplace_back(0, u"キャンセル");
  for (std::size_t i = 0; i < 13; ++i) {
    SCOPED_TRACE("position " + std::to_string(i));
    const MenuItem& item = menu.items[i];
    EXPECT_EQ(item.id, expected[i].first);
    if (expected[i].second == u"(separator)") {
      EXPECT_EQ(item.flags, static_cast<std::uint32_t>(MF_SEPARATOR));
    } else {
      EXPECT_EQ(item.flags, 0u);
      EXPECT_EQ(Utf8(FromCp932(item.text)), Utf8(expected[i].second));
    }
  }
  // The owner saw the menu loop of a popup, and no command was posted to it.
  EXPECT_EQ(window.Noted().enterMenuLoop, 1);
  EXPECT_EQ(window.Noted().exitMenuLoop, 1);
  EXPECT_EQ(window.Noted().commands, 0);
}

// The Linux build's outcomes of the shared cases; null when there are none.
const Outcomes* LinuxOutcomes(std::string& where) {
  static std::string path;
  static std::unique_ptr<Outcomes> outcomes = [] {
    const char* p = std::getenv("KELVORAT_LINUX_OUTCOMES");
    path = p != nullptr ? p : "(KELVORAT_LINUX_OUTCOMES not set)";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::unique_ptr<Outcomes>();
    return std::make_unique<Outcomes>(ReadOutcomes(in));
  }();
  where = path;
  return outcomes.get();
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) out += "  " + l + "\n";
  return out;
}

TEST_F(PluginTest, MenuEqualsTheLinuxBuildsMenu) {
  std::string where;
  const Outcomes* reference = LinuxOutcomes(where);
  ASSERT_NE(reference, nullptr) << "no outcomes of the Linux build at " << where << " (tests/wine/run makes them)";
  ASSERT_EQ(reference->count(kMenuRecord), 1u);
  const MenuPicker::Result menu = RunCommand(kDismiss);
  ASSERT_TRUE(menu.shown) << menu.error;
  EXPECT_EQ(Lines(DescribeMenu(menu.items)), Lines(reference->at(kMenuRecord)));
}

class CommandTest : public PluginTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, EndsAsOnLinux) {
  const CommandCase& c = GetParam();
  std::string where;
  const Outcomes* reference = LinuxOutcomes(where);
  ASSERT_NE(reference, nullptr) << "no outcomes of the Linux build at " << where << " (tests/wine/run makes them)";
  const auto found = reference->find(c.name);
  ASSERT_NE(found, reference->end()) << "the Linux build has no case " << c.name;

  Prepare(c, editor);
  const MenuPicker::Result menu = RunCommand(c.choice);
  ASSERT_TRUE(menu.shown) << menu.error;
  ASSERT_EQ(menu.error, "");
  EXPECT_EQ(window.Noted().commands, 0) << "a command was posted to the host window";

  const std::vector<std::string> outcome = Outcome(c, editor);
  const std::vector<std::string>& expected = found->second;
  std::size_t same = 0;
  while (same < outcome.size() && same < expected.size() && outcome[same] == expected[same]) ++same;
  EXPECT_TRUE(same == outcome.size() && same == expected.size())
      << "first difference at line " << same << "\nWindows:\n"
      << Lines(std::vector<std::string>(outcome.begin() + static_cast<std::ptrdiff_t>(same), outcome.end()))
      << "Linux:\n"
      << Lines(std::vector<std::string>(expected.begin() + static_cast<std::ptrdiff_t>(same), expected.end()));
}

INSTANTIATE_TEST_SUITE_P(Shared, CommandTest, ::testing::ValuesIn(CommandCases()),
                         [](const ::testing::TestParamInfo<CommandCase>& p) { return p.param.name; });

// ---- A failure inside the command ----

class FailureTest : public PluginTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(FailureTest, AbsurdCapacityEndsInAMessageBoxWithRedrawResumed) {
  const std::u16string text = u"a; // b\r\nc;\r\n";
  editor.SetText(text);
  editor.SetCapacityReply(GetParam());
  SetCursorPos(kCursorX, kCursorY);
  HostWindow::Pump();
  {
    BoxAnswerer answerer(IDOK);
    MenuPicker picker(2);
    plugin.OnCommand(window.Handle());
    EXPECT_EQ(picker.Finish().error, "");
    const BoxAnswerer::Result& box = answerer.Finish();
    ASSERT_TRUE(box.shown) << box.error;
    EXPECT_EQ(box.owner, window.Handle());
    EXPECT_EQ(box.caption, "Kelvorat");
    EXPECT_EQ(Utf8(FromCp932(box.text)), Utf8(u"メモリが足りないため、コマンドを中止しました。"));
    EXPECT_TRUE(box.hasOk);
  }
  EXPECT_TRUE(editor.RedrawOn());
  EXPECT_EQ(editor.Received(host::HM_SET_REDRAW), 2u);
  ASSERT_FALSE(editor.Log().empty());
  EXPECT_EQ(host::DescribeMessage(editor.Log().back()), "HM_SET_REDRAW on = 0");
  EXPECT_EQ(editor.Text(), text);

  // The process goes on, and so does the plug-in.
  editor.SetCapacityReply(std::nullopt);
  editor.ClearLog();
  const MenuPicker::Result menu = RunCommand(2);
  EXPECT_EQ(menu.error, "");
  EXPECT_EQ(Utf8(editor.Text()), Utf8(u"a; \r\nc;\r\n"));
}

INSTANTIATE_TEST_SUITE_P(Capacities, FailureTest, ::testing::Values(INT32_MAX, 1 << 30, 0x3FFFFFFF),
                         [](const ::testing::TestParamInfo<std::int32_t>& p) {
                           return "Capacity" + std::to_string(p.param);
                         });

}  // namespace
}  // namespace kelvorat::wine_test
