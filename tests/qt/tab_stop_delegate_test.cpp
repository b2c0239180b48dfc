#include "qt/tab_stop_delegate.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <vector>

#include "window_fixture.h"

namespace ostravel::testing {
namespace {

TEST(TabStopDelegateTest, TabsJumpToTheNextStopInDialogUnits) {
  const std::vector<int> memoryStops{70, 75, 80, 85, 90};
  const struct {
    const char* name;
    int x;
    std::vector<int> stops;
    int averageCharWidth;
    int expected;
  } rows[] = {
      {"first stop from the start", 0, memoryStops, 8, 140},
      {"first stop from short text", 60, memoryStops, 8, 140},
      {"text reaching the first stop goes on to the second", 140, memoryStops, 8, 150},
      {"long text goes past several stops", 171, memoryStops, 8, 180},
      {"past the last stop the last interval repeats", 185, memoryStops, 8, 190},
      {"and again", 190, memoryStops, 8, 200},
      {"wider font, wider stops", 0, memoryStops, 12, 210},
      {"no stops: every 32 units", 0, {}, 8, 64},
      {"no stops, second stop", 64, {}, 8, 128},
      {"one stop repeats itself", 50, {20}, 8, 80},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TabStopDelegate::NextStop(row.x, row.stops, row.averageCharWidth), row.expected)
        << row.name;
  }
}

TEST(TabStopDelegateTest, NamesOfMemoryLinesLineUpInAColumn) {
  WindowFixture f;
  f.RunLine("1");
  f.RunLine("123456.789*1000");
  auto* list = f.Find<QListWidget>("memories");
  ASSERT_EQ(list->count(), 2);
  // The list is drawn with the window's stops: the widths of both lines (value, tab, name)
  // end at the first stop plus the name's width.
  const QFontMetrics metrics(list->font());
  const int stop = 70 * metrics.averageCharWidth() / 4;
  const QStringList names{"123456.789*1000", "1"};
  for (int row = 0; row < 2; ++row) {
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.font = list->font();
    const QSize hint = list->itemDelegate()->sizeHint(option, list->model()->index(row, 0));
    EXPECT_EQ(hint.width(), stop + metrics.horizontalAdvance(names[row]) +
                                2 * metrics.averageCharWidth())
        << row;
  }
}

}  // namespace
}  // namespace ostravel::testing
