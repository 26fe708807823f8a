#include "iecleanup/memory_block.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "fakes/guarded_memory.h"
#include "support/native_ports.h"
#include "support/pages.h"

namespace larkspur {
namespace {

using ::testing::ElementsAre;
using testing::GuardedMemory;
using testing::NativeMemory;
using testing::PageAccess;
using testing::Pages;

// One page of the test's own with the given access, filled with 'x'.
std::unique_ptr<Pages> Page(PageAccess access) {
  auto page = std::make_unique<Pages>(1);
  page->Protect(0, 1, access);
  return page;
}

TEST(MemoryBlockLifecycle, PlatformCallsInOrder) {
  GuardedMemory memory;
  {
    MemoryBlock block(memory);
    block.ReleaseMemory();
    EXPECT_TRUE(memory.log.empty()) << "an empty block makes no calls";

    block.Allocate(100);
    void* first = block.Handle();
    block.Allocate(200);
    EXPECT_NE(block.Handle(), nullptr);
    EXPECT_NE(block.Handle(), first);
    block.Allocate(0);
    EXPECT_EQ(block.Handle(), nullptr);
    block.Allocate(50);
  }
  EXPECT_THAT(memory.log,
              ElementsAre("allocate 100", "lock 100", "unlock 100", "decommit 100", "release 100",
                          "allocate 200", "lock 200", "unlock 200", "decommit 200", "release 200",
                          "allocate 50", "lock 50", "unlock 50", "decommit 50", "release 50"));
}

TEST(MemoryBlockCopies, NeverPastTheBlockOrIntoForbiddenMemory) {
  GuardedMemory memory;
  MemoryBlock block(memory);
  const char text[] = "0123456789";
  block.Allocate(10);
  std::array<char, 10> zero_filled{};
  block.ReadFrom(zero_filled.data(), 10);
  EXPECT_EQ(std::string(zero_filled.data(), 10), std::string(10, '\0'));

  block.WriteTo(text, 64);  // only the block's 10 bytes are written
  std::array<char, 16> out;
  out.fill('?');
  block.ReadFrom(out.data(), 16);  // the 6 bytes beyond the block arrive as zeros
  EXPECT_EQ(std::string(out.data(), 16), std::string("0123456789") + std::string(6, '\0'));

  const auto read_only = Page(PageAccess::kReadOnly);
  block.ReadFrom(read_only->get(), 10);
  EXPECT_EQ(read_only->get()[0], 'x');

  block.Allocate(0);
  out.fill('?');
  block.ReadFrom(out.data(), 16);
  EXPECT_EQ(out[0], '?') << "an empty block copies nothing";
}

TEST(MemoryBlockExtractString, StopsAtTheTerminatorOrAtLMax) {
  GuardedMemory memory;
  MemoryBlock block(memory);
  block.Allocate(4);
  block.WriteTo("abc", 4);
  EXPECT_EQ(block.ExtractString(block.Handle(), 100), "abc");

  // No terminator before the block's end, which is the end of readable memory.
  block.Allocate(5);
  block.WriteTo("hello", 5);
  EXPECT_EQ(block.ExtractString(block.Handle(), 5), "hello");
  EXPECT_EQ(block.ExtractString(block.Handle(), 3), "hel");
  EXPECT_EQ(block.ExtractString(block.Handle(), 100), "");

  const auto forbidden = Page(PageAccess::kNone);
  EXPECT_EQ(block.ExtractString(forbidden->get(), 10), "");
  EXPECT_EQ(block.ExtractString(nullptr, 10), "");
}

TEST(NativeMemoryProbes, ReportBadRangesWithoutTouchingThem) {
  const std::unique_ptr<MemoryPort> native = NativeMemory();
  MemoryPort& memory = *native;
  const auto readable = Page(PageAccess::kReadWrite);
  const auto read_only = Page(PageAccess::kReadOnly);
  const auto forbidden = Page(PageAccess::kNone);

  EXPECT_FALSE(memory.IsBadReadPtr(readable->get(), readable->size()));
  EXPECT_FALSE(memory.IsBadReadPtr(read_only->get(), read_only->size()));
  EXPECT_TRUE(memory.IsBadReadPtr(forbidden->get(), 1));
  EXPECT_TRUE(memory.IsBadReadPtr(nullptr, 1));

  EXPECT_FALSE(memory.IsBadWritePtr(readable->get(), readable->size()));
  EXPECT_EQ(readable->get()[readable->size() - 1], 'x') << "probing leaves the bytes as they were";
  EXPECT_TRUE(memory.IsBadWritePtr(read_only->get(), 8));
  EXPECT_TRUE(memory.IsBadWritePtr(forbidden->get(), 8));

  readable->get()[20] = '\0';
  EXPECT_FALSE(memory.IsBadStringPtr(readable->get(), 1000000));
  EXPECT_FALSE(memory.IsBadStringPtr(read_only->get(), read_only->size()));
  EXPECT_TRUE(memory.IsBadStringPtr(forbidden->get(), 1));
}

TEST(NativeMemoryBlocks, AreZeroFilledAndWritable) {
  const std::unique_ptr<MemoryPort> memory = NativeMemory();
  MemoryBlock block(*memory);
  block.Allocate(100000);
  ASSERT_NE(block.Handle(), nullptr);
  const auto* bytes = static_cast<const unsigned char*>(block.Handle());
  EXPECT_EQ(std::count(bytes, bytes + 100000, 0), 100000);
  block.WriteTo("data", 5);
  EXPECT_EQ(block.ExtractString(block.Handle(), 100000), "data");
}

}  // namespace
}  // namespace larkspur
