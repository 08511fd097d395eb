// SPDX-License-Identifier: MIT
#include "platform/system/filedialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

using namespace zentyr;

namespace {

const QString PictureFilter
    = "JPEG Files (*.jpg)|*.*|GIF Files (*.gif)|*.gif|BITMAP Files (*.bmp)|*.bmp|All Files (*.*)|*.*";
const QStringList PictureFilterLabels{"JPEG Files (*.jpg)", "GIF Files (*.gif)", "BITMAP Files (*.bmp)",
                                      "All Files (*.*)"};
const QStringList AllFiles{"UPPER.GIF", "a.gif", "b.bmp", "c.jpg", "my file(1).txt", "notes", "pic.png", "pngbytes"};

QStringList comboLabels(const QFileDialog &dialog)
{
    QStringList labels;
    if (const auto *combo = dialog.findChild<QComboBox *>("fileTypeCombo")) {
        for (int i = 0; i < combo->count(); ++i)
            labels << combo->itemText(i);
    }
    return labels;
}

// The names the file list shows for the current folder.
QStringList listed(const QFileDialog &dialog)
{
    const auto *view = dialog.findChild<QListView *>("listView");
    QStringList names;
    for (int r = 0; view && r < view->model()->rowCount(view->rootIndex()); ++r)
        names << view->model()->index(r, 0, view->rootIndex()).data().toString();
    names.sort();
    return names;
}

// Ends the test program if it is still inside its scope after a time limit: a dialog stuck in
// a blocking read cannot fail a test by itself.
class Watchdog {
public:
    explicit Watchdog(int seconds)
        : m_thread([this, seconds] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_finished; })) {
                  std::fprintf(stderr, "FAIL: still listing after %d s\n", seconds);
                  std::_Exit(1);
              }
          })
    { }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace

class TestPlatformFileDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void parsesFilterLists_data();
    void parsesFilterLists();
    void showsDescriptionsAsLabels_data();
    void showsDescriptionsAsLabels();
    void eachTypeListsItsFiles();
    void returnsChosenPathOrCancel();
    void ownerDestroyedWhileOpen();
    void listsByNameOnlyAndKeepsNoSettings();

private:
    QTemporaryDir dir;
    QTemporaryDir home;
};

void TestPlatformFileDialog::initTestCase()
{
    // Where Qt would keep the dialog's settings for the user.
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    for (const QString &name : AllFiles) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    // A PNG signature in a file whose name does not say PNG.
    QFile png(dir.filePath("pngbytes"));
    QVERIFY(png.open(QIODevice::WriteOnly) && png.write("\x89PNG\r\n\x1a\n") == 8);
    png.close();
}

void TestPlatformFileDialog::parsesFilterLists_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("pairs");
    QTest::newRow("picture filter") << PictureFilter
                                    << QStringList{"JPEG Files (*.jpg)=*.*", "GIF Files (*.gif)=*.gif",
                                                   "BITMAP Files (*.bmp)=*.bmp", "All Files (*.*)=*.*"};
    QTest::newRow("empty") << "" << QStringList();
    QTest::newRow("description only") << "Pictures" << QStringList();
    QTest::newRow("odd trailing part") << "A|*.a|B" << QStringList{"A=*.a"};
    QTest::newRow("trailing bar") << "A|*.a|" << QStringList{"A=*.a"};
    QTest::newRow("ends at an empty part") << "A|*.a||B|*.b" << QStringList{"A=*.a"};
    QTest::newRow("starts empty") << "|*.a|B|*.b" << QStringList();
}

void TestPlatformFileDialog::parsesFilterLists()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, pairs);
    QStringList got;
    for (const FileTypeFilter &f : parseFileFilter(filter))
        got << f.description + '=' + f.pattern;
    QCOMPARE(got, pairs);
}

void TestPlatformFileDialog::showsDescriptionsAsLabels_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("picture filter") << PictureFilter << PictureFilterLabels;
    QTest::newRow("no parentheses") << "Pictures|*.jpg;*.png" << QStringList{"Pictures"};
}

void TestPlatformFileDialog::showsDescriptionsAsLabels()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, labels);
    QFileDialog dialog;
    configureOpenDialog(dialog, {"Open", filter, {}});
    QCOMPARE(comboLabels(dialog), labels);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Open"));
#ifndef Q_OS_WIN
    QVERIFY(dialog.testOption(QFileDialog::DontUseNativeDialog));
#endif
    QCOMPARE(dialog.fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
}

void TestPlatformFileDialog::eachTypeListsItsFiles()
{
    QFileDialog dialog;
    configureOpenDialog(dialog, {"Open", PictureFilter, dir.filePath("c.jpg")});
    dialog.show();
    auto *combo = dialog.findChild<QComboBox *>("fileTypeCombo");
    QVERIFY(combo);
    QCOMPARE(combo->currentIndex(), 0);
    // The first type's pattern is "*.*": every file, "notes" without a dot included.
    QTRY_COMPARE(listed(dialog), AllFiles);
    // Picked by keyboard, as a user would, so the dialog's own handling runs.
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("GIF Files (*.gif)"));
    QTRY_COMPARE(listed(dialog), (QStringList{"UPPER.GIF", "a.gif"}));
    QTest::keyClick(combo, Qt::Key_Down);
    QTRY_COMPARE(listed(dialog), QStringList{"b.bmp"});
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), QStringLiteral("All Files (*.*)"));
    QTRY_COMPARE(listed(dialog), AllFiles);
}

void TestPlatformFileDialog::returnsChosenPathOrCancel()
{
    const QString previous = dir.filePath("a.gif");
    QString title, folder;
    QStringList preselected;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        preselected = dialog->selectedFiles();
        dialog->selectFile("notes");
        static_cast<QDialog *>(dialog)->accept(); // as the Open button does
    });
    const OpenResult chosen = showOpenDialog(nullptr, {"Pick a picture", PictureFilter, previous});
    QCOMPARE(title, QStringLiteral("Pick a picture"));
    QCOMPARE(folder, QDir(dir.path()).absolutePath());
    QCOMPARE(preselected, QStringList{previous});
    QVERIFY(!chosen.cancelled);
    QCOMPARE(chosen.fileName, dir.filePath("notes"));

    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    const OpenResult cancelled = showOpenDialog(nullptr, {"Open", PictureFilter, previous});
    QVERIFY(cancelled.cancelled);
    QVERIFY(cancelled.fileName.isEmpty());
}

void TestPlatformFileDialog::ownerDestroyedWhileOpen()
{
    // Another window's handler may unload the owner while the dialog waits.
    auto *owner = new QWidget;
    QTimer::singleShot(0, [owner] { delete owner; });
    const int cacheLimit = QPixmapCache::cacheLimit();
    QVERIFY(showOpenDialog(owner, {"Open", PictureFilter, {}}).cancelled);
    // The program's pixmap cache works again once the dialog is gone.
    QCOMPARE(QPixmapCache::cacheLimit(), cacheLimit);
}

void TestPlatformFileDialog::listsByNameOnlyAndKeepsNoSettings()
{
    {
        // As root, reading /proc/kmsg blocks until the kernel logs something.
        const Watchdog watchdog(20);
        QFileDialog dialog;
        configureOpenDialog(dialog, {"Open", PictureFilter, {}});
        dialog.setViewMode(QFileDialog::Detail);
        auto *model = dialog.findChild<QFileSystemModel *>();
        QVERIFY(model);
#ifdef Q_OS_LINUX
        const QStringList folders{QStringLiteral("/proc"), dir.path()};
#else
        const QStringList folders{dir.path()}; // no /proc
#endif
        for (const QString &folder : folders) {
            dialog.setDirectory(folder);
            dialog.show();
            QTRY_VERIFY(listed(dialog).contains(folder == dir.path() ? "pngbytes" : "self"));
            const QModelIndex root = model->index(folder);
            for (int r = 0; r < model->rowCount(root); ++r) {
                const QModelIndex file = model->index(r, 0, root);
                file.data(Qt::DecorationRole);
                model->type(file);
            }
        }
        // PNG bytes without a .png name: the type comes from the name alone.
        const QModelIndex pngBytes = model->index(dir.filePath("pngbytes"));
        QTRY_VERIFY(!model->type(pngBytes).isEmpty());
        QVERIFY2(!model->type(pngBytes).contains("PNG"), qPrintable(model->type(pngBytes)));
    }
    // Every dialog of this test program is gone: none left its state for the next run.
    QVERIFY(!QFileInfo::exists(home.filePath(".config/QtProject.conf")));
}

QTEST_MAIN(TestPlatformFileDialog)
#include "test_platform_filedialog.moc"
