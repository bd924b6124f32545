// The list control, its model and its sort header, as widgets: model consistency through
// every kind of change, sorting by header clicks with the selection kept on its entries,
// failed reloads, batch deletion, and the header's painted pixels.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QImage>
#include <QtTest>
#include <memory>

#include "core/SortArrow.h"
#include "listview/RowStoreModel.h"
#include "listview/SortHeaderCtrl.h"
#include "listview/SortListCtrl.h"

namespace {

QStringList ColumnOf(const CSortListCtrl& list, int column) {
    QStringList cells;
    for (int r = 0; r < list.GetRowCount(); ++r) cells << list.GetCellText(r, column);
    return cells;
}

const QColor kFace(200, 200, 190), kLight(0, 255, 0), kDark(0, 0, 255), kText(0, 0, 0);

struct Pixel {
    int x, y;
    QColor colour;
};

void ExpectPixels(const QImage& img, std::initializer_list<Pixel> pixels) {
    for (const Pixel& p : pixels)
        QVERIFY2(QColor(img.pixel(p.x, p.y)) == p.colour,
                 qPrintable(QStringLiteral("%1,%2").arg(p.x).arg(p.y)));
}

}  // namespace

class TestSortListCtrl : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<CSortListCtrl> m_list;
    std::unique_ptr<QAbstractItemModelTester> m_tester;

    CSortListCtrl& List() { return *m_list; }
    void Fill(const QList<QStringList>& rows) {
        for (const QStringList& r : rows) List().AppendRow(r);
    }
    void ClickHeader(int column) {
        QHeaderView* header = List().horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                                 header->height() / 2));
    }
    QImage GrabHeader() { return List().horizontalHeader()->viewport()->grab().toImage(); }
    // Face, light and dark (and text) from the test palette; item 0 is `width0` by 20 pixels.
    CSortHeaderCtrl* PaintedHeader(int width0) {
        CSortHeaderCtrl* header = List().Header();
        QPalette palette = header->palette();
        palette.setColor(QPalette::Button, kFace);
        palette.setColor(QPalette::Light, kLight);
        palette.setColor(QPalette::Dark, kDark);
        palette.setColor(QPalette::ButtonText, kText);
        header->setPalette(palette);
        header->setFixedHeight(20);
        header->resizeSection(0, width0);
        return header;
    }
    // Item 0's arrow pixels (ascending), each in the colour of the last line drawn over it.
    static QHash<QPair<int, int>, QColor> ArrowPixels(int width0) {
        QHash<QPair<int, int>, QColor> pixels;
        for (const ArrowPolyline& line : LayoutHeaderItem({0, 0, width0, 20}, false, true, true).arrow)
            for (const HeaderPoint& p : RasterizePolyline(line))
                pixels.insert({p.x, p.y}, line.light ? kLight : kDark);
        return pixels;
    }
    // The bounds of what item 0 (0..99) shows besides its face and arrow.
    static QRect TextBounds(const QImage& img, const QHash<QPair<int, int>, QColor>& arrow) {
        QRect text;
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 100; ++x)
                if (!arrow.contains({x, y}) && QColor(img.pixel(x, y)) != kFace) text |= QRect(x, y, 1, 1);
        return text;
    }
    void ExpectSelectedAfterTyping(const QString& keys, int row) {
        QTest::keyClicks(&List(), keys);
        QCOMPARE(List().GetSelectedRows(), QList<int>{row});
    }

private slots:
    void init() {
        m_list = std::make_unique<CSortListCtrl>();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            m_list->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(List().DefineColumns(kEntryColumnSpec));
        m_list->resize(700, 300);
        m_list->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
    }
    void cleanup() {
        m_tester.reset();
        m_list.reset();
    }

    // Every change through the control keeps the model consistent (the tester checks each
    // signal) and tells the owner through ContentsChanged.
    void changesKeepTheModelConsistent() {
        QSignalSpy changed(&List(), &CSortListCtrl::ContentsChanged);
        Fill({{"3", "Menu", "1", "c"}, {"1", "Menu", "2", "a"}, {"2", "Error", "1", "b"}});
        QCOMPARE(List().model()->rowCount(), 3);
        QCOMPARE(List().model()->index(1, 3).data().toString(), QStringLiteral("a"));
        QVERIFY(List().SetCellText(1, 3, QStringLiteral("z")));
        QVERIFY(!List().SetCellText(3, 0, QStringLiteral("no such row")));
        QCOMPARE(List().GetCellText(1, 3), QStringLiteral("z"));
        QCOMPARE(List().GetCellText(7, 3), QString());
        List().SortByColumn(0, true);
        QCOMPARE(ColumnOf(List(), 0), (QStringList{"1", "2", "3"}));
        QVERIFY(List().DeleteRow(0));
        QVERIFY(!List().DeleteRow(5));
        List().DeleteRows({1, 0, 1, 9});
        QCOMPARE(List().GetRowCount(), 0);
        QVERIFY(List().DeleteAllRows());
        QCOMPARE(changed.count(), 7);  // 3 appends, a cell, the sort, a row, the batch; no-ops say nothing

        // Headings and flags: read-only, selectable cells.
        QCOMPARE(List().model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Global ID"));
        List().AppendRow({"1", "G", "1", "t"});
        QVERIFY(!(List().model()->flags(List().model()->index(0, 0)) & Qt::ItemIsEditable));
    }

    // A header click sorts; the same column again reverses; another column starts ascending.
    // The selected entries stay selected, the current row and the mark follow their entry.
    void headerClicksSortAndKeepTheSelection() {
        Fill({{"100", "Menu", "1", "b"},
              {"9", "Menu", "2", "c"},
              {"10", "Error", "1", "a"},
              {"", "Error", "2", "d"}});
        List().selectRow(0);  // "100"
        QCOMPARE(List().GetSelectionMark(), 0);
        ClickHeader(0);
        QCOMPARE(ColumnOf(List(), 0), (QStringList{"", "9", "10", "100"}));
        QCOMPARE(List().GetSelectedRows(), QList<int>{3});
        QCOMPARE(List().currentIndex().row(), 3);
        QCOMPARE(List().GetSelectionMark(), 3);
        ClickHeader(0);
        QCOMPARE(ColumnOf(List(), 0), (QStringList{"100", "10", "9", ""}));
        QCOMPARE(List().GetSelectedRows(), QList<int>{0});
        QVERIFY(!List().Header()->SortAscending());
        ClickHeader(3);
        QCOMPARE(ColumnOf(List(), 3), (QStringList{"a", "b", "c", "d"}));
        QCOMPARE(List().Header()->SortColumn(), 3);
        QVERIFY(List().Header()->SortAscending());
        QVERIFY(List().Header()->IsOwnerDrawn(0));  // once sorted, always painted by the header
        QVERIFY(!List().Header()->IsOwnerDrawn(1));

        // A new row goes to the end whatever the sort.
        List().AppendRow({"0", "Menu", "3", "0"});
        QCOMPARE(List().GetCellText(4, 3), QStringLiteral("0"));
    }

    void pairSortMovesWholePairs() {
        Fill({{"2", "M", "1", "b"},
              {"2", "M", "1", "B"},
              {"1", "M", "2", "c"},
              {"1", "M", "2", "C"},
              {"3", "M", "3", "a"},
              {"3", "M", "3", "A"}});
        List().SetPairSort(true);
        List().SetSelectedRows({1});
        ClickHeader(3);
        QCOMPARE(ColumnOf(List(), 3), (QStringList{"a", "A", "b", "B", "c", "C"}));
        QCOMPARE(List().GetSelectedRows(), QList<int>{3});
        ClickHeader(0);
        QCOMPARE(ColumnOf(List(), 3), (QStringList{"c", "C", "b", "B", "a", "A"}));
    }

    // A failed reload leaves rows, group list, last Global ID and selection exactly as they
    // were, even when the loader had put rows into its table before failing.
    void failedReloadChangesNothing() {
        Fill({{"1", "Menu", "1", "a"}, {"2", "Menu", "2", "b"}});
        List().SetLastGlobalId(2);
        List().Groups().Append("Menu");
        List().selectRow(1);
        const Status status = List().Reload([](ResourceTable& store) {
            store.AppendRow({"9", "X", "1", "partial"});
            store.SetLastGlobalId(9);
            return Status::Error("Cannot read 'x.txr': broken.");
        });
        QVERIFY(!status);
        QCOMPARE(ColumnOf(List(), 3), (QStringList{"a", "b"}));
        QCOMPARE(List().GetLastGlobalId(), 2);
        QCOMPARE(List().Groups().Count(), 1);
        QCOMPARE(List().GetSelectedRows(), QList<int>{1});

        // A successful one replaces everything and detects the encoding.
        const auto reloadOne = [this](const std::string& text) {
            return List().Reload([text](ResourceTable& store) {
                store.AppendRow({"5", "G", "1", text});
                store.SetLastGlobalId(5);
                return Status::Ok();
            });
        };
        QVERIFY(reloadOne("caf\xe9"));
        QCOMPARE(List().GetRowCount(), 1);
        QCOMPARE(List().GetLastGlobalId(), 5);
        QVERIFY(!List().IsUtf8());
        QCOMPARE(List().GetCellText(0, 3), QStringLiteral("café"));
        QCOMPARE(List().GetSelectionMark(), -1);
        QVERIFY(reloadOne("caf\xc3\xa9"));
        QVERIFY(List().IsUtf8());
        QCOMPARE(List().GetCellText(0, 3), QStringLiteral("café"));
    }

    // Keys typed into the list find rows by the start of their Global ID.
    void typeAheadFindsGlobalIds() {
        Fill({{"7", "M", "1", "a"},
              {"12", "M", "2", "b"},
              {"1", "M", "3", "c"},
              {"120", "M", "4", "d"},
              {"A5", "M", "5", "e"}});
        List().setFocus();
        ExpectSelectedAfterTyping(QStringLiteral("12"), 1);
        ExpectSelectedAfterTyping(QStringLiteral("0"), 3);  // "120"
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        ExpectSelectedAfterTyping(QStringLiteral("1"), 1);  // a new search: after the current row, wrapping
        ExpectSelectedAfterTyping(QStringLiteral("1"), 2);  // the same key: the next row starting with it
        QTest::qWait(QApplication::keyboardInputInterval() + 50);
        ExpectSelectedAfterTyping(QStringLiteral("a"), 4);
    }

    void batchDeletion() {
        for (int i = 0; i < 200; ++i) List().AppendRow({QString::number(i), "G", "1", QString::number(i)});
        QList<int> doomed;
        for (int i = 0; i < 200; i += 3) doomed << i;  // 67 separate runs
        List().DeleteRows(doomed);
        QCOMPARE(List().GetRowCount(), 200 - 67);
        QCOMPARE(List().GetCellText(0, 3), QStringLiteral("1"));
        QCOMPARE(List().GetCellText(2, 3), QStringLiteral("4"));
        List().SetSelectedRows({10});
        const QString kept = List().GetCellText(10, 3);
        List().DeleteRows({0, 1, 2, 50, 51});
        QCOMPARE(List().GetRowCount(), 200 - 67 - 5);
        QCOMPARE(List().GetCellText(List().GetSelectedRows().value(0), 3), kept);
    }

    // The focused list marks its current row as a whole: no cell of that row is painted apart
    // from the others, and the row stands out from a row that is not current. The mark
    // follows the current row.
    void focusMarksTheWholeRow() {
        Fill({{"1", "Menu", "1", "a"}, {"2", "Menu", "2", "b"}, {"3", "Menu", "3", "c"}});
        List().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&List()));
        List().setFocus();
        QTRY_VERIFY(List().hasFocus());
        // A blank point of each cell: its right end, away from the text and the row's ends.
        const auto sample = [this](const QImage& img, int row, int column) {
            const QRect cell = List().visualRect(List().model()->index(row, column));
            return QColor(img.pixel(cell.right() - 4, cell.center().y()));
        };
        const auto grab = [this] { return List().viewport()->grab().toImage(); };

        List().selectionModel()->setCurrentIndex(List().model()->index(0, 1), QItemSelectionModel::NoUpdate);
        QImage img = grab();
        for (int c = 0; c < 4; ++c) QCOMPARE(sample(img, 0, c), sample(img, 0, 3));
        QVERIFY(sample(img, 0, 1) != sample(img, 2, 1));

        List().selectionModel()->setCurrentIndex(List().model()->index(1, 2), QItemSelectionModel::NoUpdate);
        img = grab();
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(sample(img, 0, c), sample(img, 2, c));
            QCOMPARE(sample(img, 1, c), sample(img, 1, 0));
        }
        QVERIFY(sample(img, 1, 0) != sample(img, 2, 0));
    }

    // The header paints the face, the text inside its indents and the arrow at the given
    // points in the palette's light and dark colours; end points stay unpainted.
    void headerPaintsTheArrow() {
        CSortHeaderCtrl* header = PaintedHeader(100);
        header->resizeSection(1, 100);
        List().Model()->Store().m_nSortColumn = -1;

        List().SortByColumn(0, true);
        QImage img = GrabHeader();
        // Item 0 spans x 0..99, 20 pixels high: o = 5. (83,14) ends the light line, (90,4) the dark.
        ExpectPixels(img, {{90, 5, kLight},
                           {95, 14, kLight},
                           {84, 14, kDark},
                           {83, 14, kFace},
                           {90, 4, kFace},
                           {1, 1, kFace}});
        // Every pixel of the lines, in drawing order: a later line paints over an earlier one.
        const QHash<QPair<int, int>, QColor> arrow = ArrowPixels(100);
        QVERIFY(arrow.size() > 20);
        for (auto it = arrow.cbegin(); it != arrow.cend(); ++it)
            QCOMPARE(QColor(img.pixel(it.key().first, it.key().second)), it.value());
        // Text ("Global ID") from x 5, nothing of it at or right of 80 (the arrow's room).
        const QRect text = TextBounds(img, arrow);
        QVERIFY(!text.isEmpty());
        QVERIFY2(text.left() >= 5 && text.right() < 80,
                 qPrintable(QStringLiteral("%1..%2").arg(text.left()).arg(text.right())));

        // Pressed: the text moves right and down, the arrow stays.
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 10));
        img = GrabHeader();
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 10));
        const QRect pressedText = TextBounds(img, arrow);
        QCOMPARE(pressedText.left(), text.left() + 1);
        QVERIFY(pressedText.top() > text.top());
        for (const auto& xy : arrow.keys()) QVERIFY(QColor(img.pixel(xy.first, xy.second)) != kFace);

        // Descending: light (94,5) to (89,15); dark (88,15) to (84,5) to (94,5).
        List().SortByColumn(0, false);
        img = GrabHeader();
        ExpectPixels(img, {{94, 5, kLight}, {88, 15, kDark}, {84, 5, kDark}, {89, 15, kFace}});

        // Sorted by another column: item 0 keeps the face and its text, now up to 95, no arrow.
        List().SortByColumn(1, true);
        img = GrabHeader();
        ExpectPixels(img, {{90, 5, kFace}, {84, 14, kFace}, {190, 5, kLight}});
        for (int y = 0; y < 20; ++y)
            for (int x = 95; x < 100; ++x) QCOMPARE(QColor(img.pixel(x, y)), kFace);
    }

    // An item narrower than its indents shows its face and arrow but no text.
    void narrowItemShowsNoText() {
        PaintedHeader(24);  // 5 * o = 25 > 24
        List().SortByColumn(0, true);
        const QImage img = GrabHeader();
        const QHash<QPair<int, int>, QColor> arrow = ArrowPixels(24);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 24; ++x)
                if (!arrow.contains({x, y})) QCOMPARE(QColor(img.pixel(x, y)), kFace);
    }

    // A stored width of 0 is applied as 0: the column stays, with no visible width.
    void storedZeroWidth() {
        CSortHeaderCtrl* header = List().Header();
        const QByteArray stored = QByteArray::fromHex("04000000 00000000 10000000 20000000 30000000");
        QCOMPARE(header->DeserializeWidths(stored), StoredWidths::Applied);
        QCOMPARE(header->sectionSize(0), 0);
        QCOMPARE(header->sectionSize(3), 48);
        QVERIFY(!header->isSectionHidden(0));
        QCOMPARE(header->SerializeWidths(), stored);
    }
};

QTEST_MAIN(TestSortListCtrl)
#include "tst_SortListCtrl.moc"
