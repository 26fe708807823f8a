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

#ifndef _WIN32
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

struct Adapter {
  const char* name;
  std::function<std::unique_ptr<UrlHistoryHarness>()> make;
};

const Adapter kAdapters[] = {
    {"Fake", [] { return std::make_unique<FakeHarness>(); }},
#ifndef _WIN32
    {"TextStandIn", [] { return std::make_unique<TextHarness>(); }},
#endif
};

void PrintTo(const Adapter& adapter, std::ostream* out) {
  *out << adapter.name;
}

class UrlHistoryContract : public ::testing::TestWithParam<Adapter> {
 protected:
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

}  // namespace
