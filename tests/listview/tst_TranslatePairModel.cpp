// The Translate view's model over random pair documents: after every change (filters shown and
// cleared, translations set, sorts, deletions, undo and redo) its entries are exactly the
// pairs with a row shown, in document order, each side by side with the document, and every
// signal it sends is consistent (the item model tester).
#include <QAbstractItemModelTester>
#include <QtTest>
#include <memory>
#include <random>
#include <set>

#include "../app/WindowTestSupport.h"
#include "document/model/Document.h"
#include "listview/RowStoreModel.h"
#include "listview/TranslatePairModel.h"

class TestTranslatePairModel : public QObject {
    Q_OBJECT

private slots:
    void followsTheShownPairsThroughRandomChanges() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        std::mt19937 rng(20261207);
        const auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        for (int round = 0; round < 20; ++round) {
            Rows rows;
            const int pairs = 1 + pick(12);
            for (int i = 1; i <= pairs; ++i) {
                const std::string id = std::to_string(i);
                rows.push_back({id, "Menu", id, "Text " + std::to_string(pick(50))});
                rows.push_back({id, "Menu", id, "Texte " + std::to_string(pick(50))});
            }
            const QString txr = dir.filePath("p.txr"), txl = dir.filePath("p.txl");
            WriteDocument(txr, txl, rows, true);
            Document doc;
            QVERIFY(doc.Read(QFile::encodeName(txr).toStdString(), QFile::encodeName(txl).toStdString(),
                             ModeShowBoth)
                        .ok());
            doc.SetLocalize(true);
            RowStoreModel source;
            source.SetDocument(&doc);
            TranslatePairModel model(&source);
            QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
            for (int step = 0; step < 40; ++step) {
                const int count = doc.RowCount();
                QString what;
                switch (pick(7)) {
                    case 0: {
                        std::vector<int> shown;
                        for (int r = 0; r < count; ++r)
                            if (pick(3) == 0) shown.push_back(r);
                        source.ShowRows(shown);
                        what = QStringLiteral("filter");
                        break;
                    }
                    case 1:
                        source.ShowAllRows();
                        what = QStringLiteral("all");
                        break;
                    case 2:
                        if (count > 1)
                            doc.Translate(2 * pick(count / 2) + 1, "T" + std::to_string(pick(9)), true);
                        what = QStringLiteral("translate");
                        break;
                    case 3:
                        doc.Sort(pick(4), pick(2) == 0);
                        what = QStringLiteral("sort");
                        break;
                    case 4:
                        if (count > 0) doc.DeleteRows(doc.EntryRows({pick(count)}));
                        what = QStringLiteral("delete");
                        break;
                    default:
                        pick(2) ? doc.Undo() : doc.Redo();
                        what = QStringLiteral("undo/redo");
                        break;
                }
                const QString where = QStringLiteral("round %1 step %2 (%3)").arg(round).arg(step).arg(what);
                // The pairs with a row shown, ascending.
                std::set<int> expected;
                for (int v = 0; v < source.rowCount(); ++v) expected.insert(source.DocRow(v) / 2);
                QCOMPARE(model.rowCount(), static_cast<int>(expected.size()));
                int entry = 0;
                for (const int pair : expected) {
                    QVERIFY2(model.Pair(entry) == pair && model.EntryOf(pair) == entry, qPrintable(where));
                    const QString original =
                        model.index(entry, TranslatePairModel::Original).data().toString();
                    const QString translation =
                        model.index(entry, TranslatePairModel::Translation).data().toString();
                    QVERIFY2(original == QString::fromStdString(doc.CellUtf8(2 * pair, ColText)),
                             qPrintable(where));
                    QVERIFY2(translation == QString::fromStdString(doc.CellUtf8(2 * pair + 1, ColText)),
                             qPrintable(where));
                    QVERIFY2(model.index(entry, TranslatePairModel::Id).data().toString() ==
                                 QString::fromStdString(doc.CellUtf8(2 * pair, ColGlobalId)),
                             qPrintable(where));
                    ++entry;
                }
                // A pair not shown has no entry.
                for (int pair = 0; pair < doc.RowCount() / 2; ++pair)
                    if (!expected.count(pair)) QVERIFY2(model.EntryOf(pair) == -1, qPrintable(where));
            }
        }
    }
};

QTEST_MAIN(TestTranslatePairModel)
#include "tst_TranslatePairModel.moc"
