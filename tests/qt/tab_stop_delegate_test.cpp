#include "qt/tab_stop_delegate.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <algorithm>
#include <vector>

#include "qt/window_fixture.h"

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

TEST(TabStopDelegateTest, ColumnsStartPastTheWidestPartOfTheColumnBefore) {
  const std::vector<int> editorStops{85, 160, 250, 300, 400};  // 170, 320, 500, 600, 800 px
  const std::vector<int> memoryStops{70, 75, 80, 85, 90};      // 140, 150, ... px
  const struct {
    const char* name;
    std::vector<int> widest;
    std::vector<int> stops;
    int numberGap;
    std::vector<int> expected;
  } rows[] = {
      {"short parts keep the stops", {40, 100, 50}, editorStops, 0, {0, 170, 320}},
      {"a wide key moves the later columns on", {200, 100, 50}, editorStops, 0, {0, 320, 500}},
      {"a part ending on a stop goes to the next", {170, 10}, editorStops, 0, {0, 320}},
      {"a very wide part counts as the widest a column may be",
       {4000, 10, 10},
       editorStops,
       0,
       {0, 500, 600}},
      {"memory lines: values a blank after the widest number",
       {30, 60, 80},
       memoryStops,
       4,
       {0, 34, 140}},
      {"memory lines: a long value moves the names on",
       {30, 130, 80},
       memoryStops,
       4,
       {0, 34, 170}},
      {"one column", {500}, editorStops, 0, {0}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TabStopDelegate::ColumnStarts(row.widest, row.stops, 8, row.numberGap), row.expected)
        << row.name;
  }
}

// Draws line row of the list with its delegate and returns the first column from `from` on
// that holds ink (-1 when none).
int FirstInkColumn(QListWidget* list, int row, int from) {
  QImage image(800, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  QStyleOptionViewItem option;
  option.initFrom(list);
  option.rect = QRect(0, 0, 800, 40);
  option.font = list->font();
  option.state &= ~QStyle::State_Selected;
  option.palette.setColor(QPalette::Text, Qt::black);
  list->itemDelegate()->paint(&painter, option, list->model()->index(row, 0));
  painter.end();
  for (int x = std::max(0, from); x < image.width(); ++x)
    for (int y = 0; y < image.height(); ++y)
      if (qGray(image.pixel(x, y)) < 128) return x;
  return -1;
}

TEST(TabStopDelegateTest, NamesOfMemoryLinesLineUpInAColumn) {
  WindowFixture f;
  f.RunLine("1");
  f.RunLine("123456.789*1000");
  auto* list = f.Find<QListWidget>("memories");
  ASSERT_EQ(list->count(), 2);
  // The values are shorter than the first stop (70 dialog units), so both names start there.
  const int stop = 70 * QFontMetrics(list->font()).averageCharWidth() / 4;
  const int newest = FirstInkColumn(list, 0, stop - 2);
  const int oldest = FirstInkColumn(list, 1, stop - 2);
  EXPECT_EQ(newest, oldest);
  EXPECT_GE(newest, stop);
  EXPECT_LE(newest, stop + 12);
}

TEST(TabStopDelegateTest, ValuesOfMemoryLinesLineUpWhateverTheirNumber) {
  WindowFixture f;
  for (int i = 1; i <= 10; ++i)
    f.RunLine(QString::number(i));
  auto* list = f.Find<QListWidget>("memories");
  ASSERT_EQ(list->count(), 10);
  // Row 0 is M10, row 1 is M9: after the wider number, both values start in one column.
  const int numberEnd = QFontMetrics(list->font()).horizontalAdvance("M10:");
  const int ten = FirstInkColumn(list, 0, numberEnd + 1);
  const int nine = FirstInkColumn(list, 1, numberEnd + 1);
  EXPECT_GT(ten, numberEnd);
  EXPECT_EQ(ten, nine);
}

}  // namespace
}  // namespace ostravel::testing
