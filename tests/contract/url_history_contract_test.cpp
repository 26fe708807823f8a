// What the core relies on from every URL history: ClearHistory answers the same way each time
// (the object is made afresh on every call) and, where the store can clear, leaves it empty.
// Another store is one more harness and one more line in kAdapters.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "fakes/fake_url_history.h"
#include "platform/url_history.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include <objbase.h>
#include <windows.h>

#include <thread>

#include "platform/win32/com_url_history.h"
#include "support/wine.h"
#else
#include "platform/posix/text_url_history.h"
#endif

namespace {

using larkspur::UrlHistoryPort;

class UrlHistoryHarness {
 public:
  virtual ~UrlHistoryHarness() = default;
  virtual UrlHistoryPort& history() = 0;
  virtual void AddVisit(const std::string& url) = 0;
  // nullopt where the store cannot be looked into.
  virtual std::optional<bool> IsEmpty() = 0;
  // Wine's ClearHistory answers E_NOTIMPL; there the contract is only a steady false.
  virtual bool CanClear() const { return true; }
  // The system's own store: its tests run only under Wine.
  virtual bool ChangesRealStore() const { return false; }
};

class FakeHarness : public UrlHistoryHarness {
 public:
  UrlHistoryPort& history() override { return history_; }
  void AddVisit(const std::string&) override { ++history_.visited_urls; }
  std::optional<bool> IsEmpty() override { return history_.visited_urls == 0; }

 private:
  larkspur::testing::FakeUrlHistory history_;
};

#ifndef _WIN32
class TextHarness : public UrlHistoryHarness {
 public:
  UrlHistoryPort& history() override { return history_; }
  void AddVisit(const std::string& url) override {
    larkspur::testing::WriteFile(file_, larkspur::testing::ReadFile(file_) + url + "\n");
  }
  std::optional<bool> IsEmpty() override {
    std::error_code ignored;
    return !std::filesystem::exists(file_) || std::filesystem::file_size(file_, ignored) == 0;
  }

 private:
  larkspur::testing::TempDir dir_;
  std::filesystem::path file_ = dir_ / "urlhistory.txt";
  larkspur::TextUrlHistory history_{file_.string()};
};
#endif

#ifdef _WIN32
// Wine makes the history object, but every method of it answers E_NOTIMPL: visits can be
// neither added nor looked up, and a clear fails.
class ComHarness : public UrlHistoryHarness {
 public:
  UrlHistoryPort& history() override { return history_; }
  void AddVisit(const std::string&) override {}
  std::optional<bool> IsEmpty() override { return std::nullopt; }
  bool CanClear() const override { return false; }
  bool ChangesRealStore() const override { return true; }

 private:
  larkspur::ComUrlHistory history_;
};
#endif

struct Adapter {
  const char* name;
  std::function<std::unique_ptr<UrlHistoryHarness>()> make;
};

const Adapter kAdapters[] = {
    {"Fake", [] { return std::make_unique<FakeHarness>(); }},
#ifdef _WIN32
    {"ComObject", [] { return std::make_unique<ComHarness>(); }},
#else
    {"TextStandIn", [] { return std::make_unique<TextHarness>(); }},
#endif
};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

class UrlHistoryContract : public ::testing::TestWithParam<Adapter> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    if (harness_->ChangesRealStore())
      LARKSPUR_REQUIRE_WINE();
#endif
  }

  std::unique_ptr<UrlHistoryHarness> harness_ = GetParam().make();
};

TEST_P(UrlHistoryContract, ClearingEmptiesTheHistory) {
  harness_->AddVisit("http://larkspur.example/");
  harness_->AddVisit("http://larkspur.example/news");
  EXPECT_EQ(harness_->history().ClearHistory(), harness_->CanClear());
  if (harness_->CanClear()) {
    EXPECT_NE(harness_->IsEmpty(), std::optional<bool>(false));
  }
}

TEST_P(UrlHistoryContract, EveryCallAnswersAlike) {
  harness_->AddVisit("http://larkspur.example/");
  for (int call = 0; call < 3; ++call) {
    SCOPED_TRACE(call);
    EXPECT_EQ(harness_->history().ClearHistory(), harness_->CanClear());
  }
}

TEST_P(UrlHistoryContract, ClearingAnEmptyHistorySucceeds) {
  EXPECT_EQ(harness_->history().ClearHistory(), harness_->CanClear());
  EXPECT_NE(harness_->IsEmpty(), std::optional<bool>(false));
}

INSTANTIATE_TEST_SUITE_P(Adapters, UrlHistoryContract, ::testing::ValuesIn(kAdapters),
                         [](const ::testing::TestParamInfo<Adapter>& info) {
                           return std::string(info.param.name);
                         });

#ifdef _WIN32
// The apartment type of the calling thread; 0 when COM is not initialised there.
int ApartmentType() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  return SUCCEEDED(::CoGetApartmentType(&type, &qualifier)) ? static_cast<int>(type) + 1 : 0;
}

// ClearHistory initialises COM for itself, so it must leave the thread's apartment as it found
// it: not initialised, single-threaded or multithreaded.
TEST(ComUrlHistory, LeavesTheThreadsApartmentAsItFoundIt) {
  LARKSPUR_REQUIRE_WINE();
  const std::optional<DWORD> apartments[] = {std::nullopt, COINIT_APARTMENTTHREADED,
                                             COINIT_MULTITHREADED};
  for (const std::optional<DWORD>& apartment : apartments) {
    SCOPED_TRACE(apartment ? static_cast<int>(*apartment) : -1);
    int before = -1;
    int after = -1;
    bool cleared = true;
    std::thread([&] {
      const bool initialised = apartment && SUCCEEDED(::CoInitializeEx(nullptr, *apartment));
      before = ApartmentType();
      cleared = larkspur::ComUrlHistory().ClearHistory();
      after = ApartmentType();
      if (initialised)
        ::CoUninitialize();
    }).join();
    EXPECT_EQ(before == 0, !apartment.has_value());
    EXPECT_EQ(after, before);
    EXPECT_FALSE(cleared) << "Wine's ClearHistory answers E_NOTIMPL";
  }
}
#endif

}  // namespace
