// When a watched copy is taken: after it stood still for the settle time,
// once, and again only when it changed; and the state file that carries this
// across a restart.
#include "history/copy_watch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace torv::history {
namespace {

TEST(CopyWatchTest, TakesACopyOnceItStoodStill) {
  struct Look {
    std::int64_t now;
    std::map<std::string, FileLook> present;
    std::vector<std::string> ready;
  };
  const FileLook a{8196, 1};
  const Look timeline[] = {
      {0, {{"a", a}}, {}},
      {3, {{"a", a}}, {}},
      {5, {{"a", a}}, {"a"}},  // stood still for 5 s
      {6, {{"a", a}, {"b", {100, 2}}}, {}},
      {8, {{"a", a}, {"b", {4096, 3}}}, {}},   // b still being written
      {12, {{"a", a}, {"b", {8196, 4}}}, {}},  // b whole, but only just
      {17, {{"a", a}, {"b", {8196, 4}}}, {"b"}},
      {18, {{"a", {8196, 9}}, {"b", {8196, 4}}}, {}},  // a copied over again
      {23, {{"a", {8196, 9}}, {"b", {8196, 4}}, {"c", {8196, 5}}}, {"a"}},
      {25, {{"a", {8196, 9}}, {"b", {8196, 4}}}, {}},  // c taken away...
      {26, {{"c", {8196, 5}}}, {}},                    // ...and back: it starts anew
      {30, {{"c", {8196, 5}}}, {}},
      {31, {{"c", {8196, 5}}}, {"c"}},
  };
  CopyWatch watch(5, {});
  for (const Look& look : timeline) {
    SCOPED_TRACE(look.now);
    const std::vector<std::string> ready = watch.Ready(look.present, look.now);
    EXPECT_EQ(ready, look.ready);
    for (const std::string& path : ready) watch.Taken(path, look.present.at(path));
  }
  // Started again with what the state file kept: nothing is taken twice, and
  // what changed meanwhile is taken.
  CopyWatch again(0, *ParseWatchState(WatchStateText(watch.TakenFiles())));
  EXPECT_EQ(again.Ready({{"a", {8196, 9}}, {"b", {8196, 7}}, {"c", {8196, 5}}, {"d", a}}, 100),
            (std::vector<std::string>{"b", "d"}));
}

TEST(CopyWatchTest, StateFileLinesAreSizeTimeAndPath) {
  const std::map<std::string, FileLook> taken = {{"site/gate/a b.dat", {8196, 1733700000123456789}},
                                                 {"x.dat", {4, 0}}};
  EXPECT_EQ(WatchStateText(taken), "8196 1733700000123456789 site/gate/a b.dat\n4 0 x.dat\n");
  EXPECT_EQ(*ParseWatchState(WatchStateText(taken)), taken);
  const std::pair<const char*, const char*> bad[] = {
      {"8196 1\n", "line 1"}, {"x 1 a.dat\n", "line 1"}, {"8196 1 a.dat\n12\n", "line 2"}};
  for (const auto& [text, line] : bad) {
    const auto parsed = ParseWatchState(text);
    ASSERT_FALSE(parsed) << text;
    EXPECT_EQ(parsed.failure().reason, std::string(line) + " is not \"SIZE MODIFIED_NS PATH\"");
  }
}

}  // namespace
}  // namespace torv::history
