#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tray/sys_tray.h"

namespace larkspur {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr WindowHandle kWindow = 0x70;
constexpr IconHandle kIcon = 0x31;

std::string Describe(std::uint32_t message, const NotifyIconDataA& data) {
  static const char* const kNames[] = {"add", "modify", "delete"};
  std::string text = message < 3 ? kNames[message] : "?";
  text += " size=" + std::to_string(data.cbSize) + " hwnd=" + std::to_string(data.hWnd) +
          " id=" + std::to_string(data.uID) + " flags=" + std::to_string(data.uFlags);
  if (data.uCallbackMessage != 0)
    text += " callback=" + std::to_string(data.uCallbackMessage);
  if (data.hIcon != 0)
    text += " icon=" + std::to_string(data.hIcon);
  if (data.szTip[0] != '\0')
    text += " tip=" + std::string(data.szTip);
  return text;
}

// The shell and the window system share one log, so that their order shows.
class FakeShell : public NotifyAreaPort {
 public:
  explicit FakeShell(std::vector<std::string>& log) : log_(log) {}

  bool ShellNotifyIcon(std::uint32_t message, const NotifyIconDataA& data) override {
    records.push_back(data);
    log_.push_back(Describe(message, data));
    return true;
  }

  std::vector<NotifyIconDataA> records;

 private:
  std::vector<std::string>& log_;
};

// Windows whose own procedure logs what reaches it and answers 1000 + the message.
class FakeWindows : public WindowSubclassPort {
 public:
  explicit FakeWindows(std::vector<std::string>& log) : log_(log) {}

  void Subclass(WindowHandle window, SubclassProcedure procedure) override {
    log_.push_back("subclass " + std::to_string(window));
    chains_[window].push_back(std::move(procedure));
  }
  void Unsubclass(WindowHandle window) override {
    log_.push_back("unsubclass " + std::to_string(window));
    chains_[window].pop_back();
  }

  std::intptr_t Send(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) {
    return Call(window, chains_[window].size(), message, wParam, lParam);
  }
  bool Hooked(WindowHandle window) { return !chains_[window].empty(); }

 private:
  std::intptr_t Call(WindowHandle window, std::size_t depth, std::uint32_t message,
                     std::uintptr_t wParam, std::intptr_t lParam) {
    if (depth == 0) {
      log_.push_back("window " + std::to_string(window) + " " + std::to_string(message) + " " +
                     std::to_string(wParam) + " " + std::to_string(lParam));
      return 1000 + message;
    }
    const SubclassProcedure procedure = chains_[window][depth - 1];
    const WindowProcedure previous = [this, depth](WindowHandle w, std::uint32_t m,
                                                   std::uintptr_t wp, std::intptr_t lp) {
      return Call(w, depth - 1, m, wp, lp);
    };
    return procedure(window, message, wParam, lParam, previous);
  }

  std::vector<std::string>& log_;
  std::map<WindowHandle, std::vector<SubclassProcedure>> chains_;
};

class TrayTest : public ::testing::Test {
 protected:
  std::unique_ptr<cSysTray> Control(WindowHandle window = kWindow, bool user_mode = true,
                                    PictureRef own_picture = nullptr) {
    auto control =
        std::make_unique<cSysTray>(TraySite{shell_, windows_, window, user_mode}, own_picture);
    control->MouseMove = [this](std::int32_t id) { Log("MouseMove", -1, id); };
    control->MouseDown = [this](std::int16_t b, std::int32_t id) { Log("MouseDown", b, id); };
    control->MouseUp = [this](std::int16_t b, std::int32_t id) { Log("MouseUp", b, id); };
    control->MouseDblClick = [this](std::int16_t b, std::int32_t id) {
      Log("MouseDblClick", b, id);
    };
    control->PropertyChanged = [this](const std::string& key) { changed_.push_back(key); };
    return control;
  }

  void Log(const char* event, int button, std::int32_t id) {
    std::string text = std::string(event) + " id=" + std::to_string(id);
    if (button >= 0)
      text += " button=" + std::to_string(button);
    log_.push_back(text);
  }

  std::vector<std::string> Take() { return std::exchange(log_, {}); }

  std::vector<std::string> log_;
  std::vector<std::string> changed_;
  FakeShell shell_{log_};
  FakeWindows windows_{log_};
};

const std::string kSize = std::to_string(kNotifyIconDataV1Size);

TEST_F(TrayTest, ShowingHooksTheWindowThenAddsTheIconAndHidingUndoesItInReverse) {
  auto tray = Control();
  tray->SetTrayIcon(IconPicture(kIcon));
  tray->SetTrayTip("Larkspur");
  EXPECT_THAT(Take(), IsEmpty()) << "nothing reaches the shell before the icon is shown";

  tray->SetInTray(true);
  tray->SetInTray(true);
  EXPECT_THAT(Take(), ElementsAre("subclass 112", "add size=" + kSize +
                                                      " hwnd=112 id=0 flags=7 callback=1125 "
                                                      "icon=49 tip=Larkspur"));
  EXPECT_TRUE(tray->IconAdded());

  tray->SetInTray(false);
  tray->SetInTray(false);
  EXPECT_THAT(Take(),
              ElementsAre("delete size=" + kSize + " hwnd=112 id=0 flags=0", "unsubclass 112"));
  EXPECT_FALSE(tray->IconAdded());
  EXPECT_THAT(changed_, ElementsAre("TrayIcon", "TrayTip", "InTray", "InTray"));
}

TEST_F(TrayTest, ChangesWhileShownAreSingleFieldModifies) {
  auto tray = Control();
  tray->SetTrayTip("before");
  tray->SetInTray(true);
  Take();

  tray->SetTrayTip("after");
  tray->SetTrayIcon(IconPicture(kIcon));
  tray->SetTrayTip("");
  EXPECT_THAT(Take(), ElementsAre("modify size=" + kSize + " hwnd=112 id=0 flags=4 tip=after",
                                  "modify size=" + kSize + " hwnd=112 id=0 flags=2 icon=49",
                                  "modify size=" + kSize + " hwnd=112 id=0 flags=4"));
  EXPECT_EQ(tray->TrayTip(), "");
}

TEST_F(TrayTest, OnlyIconPicturesAreAccepted) {
  auto tray = Control();
  tray->SetTrayIcon(IconPicture(kIcon));
  tray->SetInTray(true);
  Take();
  changed_.clear();

  tray->SetTrayIcon(std::make_shared<const Picture>(Picture{PictureType::kBitmap, 0x55}));
  tray->SetTrayIcon(std::make_shared<const Picture>(Picture{PictureType::kMetafile, 0x56}));
  tray->SetTrayIcon(nullptr);
  EXPECT_THAT(Take(), IsEmpty());
  EXPECT_THAT(changed_, IsEmpty());
  EXPECT_EQ(tray->TrayIcon()->handle, kIcon);
  EXPECT_EQ(tray->OwnPicture()->handle, kIcon);
}

TEST_F(TrayTest, AnEmptyTipOrNoIconLeavesThoseFieldsOut) {
  auto tray = Control();
  tray->SetTrayTip("");
  tray->SetInTray(true);
  EXPECT_THAT(Take(), ElementsAre("subclass 112",
                                  "add size=" + kSize + " hwnd=112 id=0 flags=1 callback=1125"));
}

TEST_F(TrayTest, TheTipIsCutSoThatItsNulFits) {
  auto tray = Control();
  tray->SetTrayTip(std::string(100, 'a'));
  tray->SetInTray(true);
  const NotifyIconDataA& added = shell_.records.back();
  EXPECT_EQ(std::string(added.szTip), std::string(63, 'a'));
  EXPECT_EQ(tray->TrayTip(), std::string(100, 'a')) << "the control keeps the whole tip";

  // Text is UTF-8 inside: a cut never splits a character. "é" takes two bytes.
  tray->SetTrayTip(std::string(62, 'b') + "\xC3\xA9" + "c");
  EXPECT_EQ(std::string(shell_.records.back().szTip), std::string(62, 'b'));
  tray->SetTrayTip(std::string(61, 'b') + "\xC3\xA9" + "c");
  EXPECT_EQ(std::string(shell_.records.back().szTip), std::string(61, 'b') + "\xC3\xA9");

  tray->SetTrayTip("short");
  const NotifyIconDataA& modified = shell_.records.back();
  for (std::size_t i = 5; i < kTipBytes; ++i)
    ASSERT_EQ(modified.szTip[i], '\0') << "each record starts cleared, byte " << i;
}

TEST_F(TrayTest, ATipSetWhileHiddenIsOnlyStoredUntilTheNextAdd) {
  auto tray = Control();
  tray->SetInTray(true);
  tray->SetInTray(false);
  Take();
  tray->SetTrayTip("later");
  EXPECT_THAT(Take(), IsEmpty());
  tray->SetInTray(true);
  EXPECT_THAT(Take(), ElementsAre("subclass 112", "add size=" + kSize +
                                                      " hwnd=112 id=0 flags=5 callback=1125 "
                                                      "tip=later"));
}

TEST_F(TrayTest, OnADesignSurfaceTheFlagIsOnlyStored) {
  auto own = IconPicture(0x99);
  auto tray = Control(kWindow, /*user_mode=*/false, own);
  tray->InitNew();
  EXPECT_EQ(tray->TrayTip(), "Telnet Server");
  EXPECT_EQ(tray->TrayIcon(), own);
  EXPECT_THAT(changed_, ElementsAre("TrayTip", "TrayIcon")) << "InTray was false already";

  tray->SetInTray(true);
  PropertyBag bag;
  tray->WriteProperties(bag);
  EXPECT_EQ(std::get<bool>(bag.at("InTray")), true);
  EXPECT_EQ(std::get<std::string>(bag.at("TrayTip")), "Telnet Server");
  EXPECT_EQ(std::get<PictureRef>(bag.at("TrayIcon")), own);

  tray->Resize(2000, 100);
  EXPECT_EQ(tray->Width(), 510);
  EXPECT_EQ(tray->Height(), 510);
  tray.reset();
  EXPECT_THAT(Take(), IsEmpty()) << "no icon, no hook, not even at the end";
}

TEST_F(TrayTest, AStoredDesignShowingTheIconAddsItBareThenModifiesIt) {
  auto tray = Control();
  tray->ReadProperties(
      {{"InTray", true}, {"TrayIcon", IconPicture(kIcon)}, {"TrayTip", std::string("Stored")}});
  EXPECT_THAT(Take(), ElementsAre("subclass 112",
                                  "add size=" + kSize + " hwnd=112 id=0 flags=1 callback=1125",
                                  "modify size=" + kSize + " hwnd=112 id=0 flags=2 icon=49",
                                  "modify size=" + kSize + " hwnd=112 id=0 flags=4 tip=Stored"));
}

TEST_F(TrayTest, AStoredDesignWithoutValuesTakesTheDefaults) {
  auto own = IconPicture(0x99);
  auto tray = Control(kWindow, true, own);
  tray->ReadProperties({{"TrayTip", true}});  // a value of the wrong kind counts as missing
  EXPECT_FALSE(tray->InTray());
  EXPECT_EQ(tray->TrayIcon(), own);
  EXPECT_EQ(tray->TrayTip(), "Telnet Server");
  EXPECT_THAT(Take(), IsEmpty());
}

TEST_F(TrayTest, AControlThatEndsShownRemovesItsIconAndHook) {
  auto tray = Control();
  tray->SetInTray(true);
  Take();
  tray.reset();
  EXPECT_THAT(Take(),
              ElementsAre("delete size=" + kSize + " hwnd=112 id=0 flags=0", "unsubclass 112"));
  EXPECT_FALSE(windows_.Hooked(kWindow));
}

TEST_F(TrayTest, CallbacksBecomeEventsBeforeTheWindowSeesThem) {
  auto tray = Control();
  tray->SetInTray(true);
  Take();

  EXPECT_EQ(windows_.Send(kWindow, 1125, 0, kWmMouseMove), 1000 + 1125);
  windows_.Send(kWindow, 1125, 0, kWmLButtonDown);
  windows_.Send(kWindow, 1125, 0, kWmLButtonUp);
  windows_.Send(kWindow, 1125, 0, kWmLButtonDblClk);
  windows_.Send(kWindow, 1125, 0, kWmRButtonDown);
  windows_.Send(kWindow, 1125, 0, kWmRButtonUp);
  windows_.Send(kWindow, 1125, 0, kWmRButtonDblClk);
  EXPECT_THAT(Take(), ElementsAre("MouseMove id=0", "window 112 1125 0 512",           //
                                  "MouseDown id=0 button=1", "window 112 1125 0 513",  //
                                  "MouseUp id=0 button=1", "window 112 1125 0 514",    //
                                  "MouseDblClick id=0 button=1", "window 112 1125 0 515",
                                  "MouseDown id=0 button=2", "window 112 1125 0 516",  //
                                  "MouseUp id=0 button=2", "window 112 1125 0 517",    //
                                  "MouseDblClick id=0 button=2", "window 112 1125 0 518"));

  // The id is whatever the shell reports.
  windows_.Send(kWindow, 1125, 5, kWmLButtonUp);
  EXPECT_THAT(Take(), ElementsAre("MouseUp id=5 button=1", "window 112 1125 5 514"));
}

TEST_F(TrayTest, OtherMessagesPassThroughUntouched) {
  auto tray = Control();
  tray->SetInTray(true);
  Take();

  for (std::uint32_t middle : {kWmMButtonDown, kWmMButtonUp, kWmMButtonDblClk})
    windows_.Send(kWindow, 1125, 0, middle);
  windows_.Send(kWindow, 1125, 0, std::intptr_t{0x100000000} + kWmLButtonDown);
  // Mouse messages that come as window messages, not as the callback, are not the icon's.
  EXPECT_EQ(windows_.Send(kWindow, kWmLButtonDblClk, 3, 4), 1000 + kWmLButtonDblClk);
  EXPECT_EQ(windows_.Send(kWindow, 0x1234, ~std::uintptr_t{0}, -1), 1000 + 0x1234);
  EXPECT_THAT(Take(),
              ElementsAre("window 112 1125 0 519", "window 112 1125 0 520", "window 112 1125 0 521",
                          "window 112 1125 0 4294967809", "window 112 515 3 4",
                          "window 112 4660 " + std::to_string(~std::uintptr_t{0}) + " -1"));
}

TEST_F(TrayTest, TwoShownControlsKeepTheirWindowsApart) {
  auto first = Control(0x70);
  auto second = Control(0x80);
  first->SetInTray(true);
  second->SetInTray(true);
  Take();

  windows_.Send(0x70, 1125, 0, kWmLButtonDblClk);
  windows_.Send(0x80, 1125, 0, kWmRButtonUp);
  first->SetInTray(false);
  windows_.Send(0x80, 42, 0, 0);
  EXPECT_THAT(Take(), ElementsAre("MouseDblClick id=0 button=1", "window 112 1125 0 515",
                                  "MouseUp id=0 button=2", "window 128 1125 0 517",
                                  "delete size=" + kSize + " hwnd=112 id=0 flags=0",
                                  "unsubclass 112", "window 128 42 0 0"));
  EXPECT_TRUE(windows_.Hooked(0x80));
}

TEST_F(TrayTest, AHandlerMayHideTheIconOrEndTheControl) {
  auto tray = Control();
  tray->MouseDblClick = [&](std::int16_t, std::int32_t) { tray->SetInTray(false); };
  tray->MouseUp = [this, &tray](std::int16_t, std::int32_t) {
    tray.reset();
    log_.push_back("handler ends");  // its closure must outlive the control
  };
  tray->SetInTray(true);
  Take();

  EXPECT_EQ(windows_.Send(kWindow, 1125, 0, kWmLButtonDblClk), 1000 + 1125);
  EXPECT_THAT(Take(), ElementsAre("delete size=" + kSize + " hwnd=112 id=0 flags=0",
                                  "unsubclass 112", "window 112 1125 0 515"));

  tray->SetInTray(true);
  Take();
  EXPECT_EQ(windows_.Send(kWindow, 1125, 0, kWmLButtonUp), 1000 + 1125);
  EXPECT_EQ(tray, nullptr);
  EXPECT_THAT(Take(), ElementsAre("delete size=" + kSize + " hwnd=112 id=0 flags=0",
                                  "unsubclass 112", "handler ends", "window 112 1125 0 514"));
}

}  // namespace
}  // namespace larkspur
