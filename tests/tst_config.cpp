#include "document/documenttexts.h"
#include "main/frmmain.h"
#include "settings/frmconfig.h"
#include "settings/modregistry.h"
#include "settings/settingstexts.h"
#include "testsupport.h"
#include "windowsupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace cinemork;

class tst_config : public test::WindowTest
{
    Q_OBJECT

    int m_recorded = 0;

    std::unique_ptr<frmConfig> open()
    {
        return std::make_unique<frmConfig>([this] { ++m_recorded; });
    }
    static QLineEdit *css(const std::unique_ptr<frmConfig> &d) { return child<QLineEdit>(d.get(), "txtUserCSS"); }
    static QCheckBox *column(QObject *o, int i) { return child<QCheckBox>(o, QStringLiteral("chkColumn%1").arg(i)); }
    static QCheckBox *fixed(QObject *o, int i) { return child<QCheckBox>(o, QStringLiteral("chkColWidth%1").arg(i)); }
    static QLineEdit *width(QObject *o, int i) { return child<QLineEdit>(o, QStringLiteral("txtColWidth%1").arg(i)); }

private slots:
    void init()
    {
        m_fakes = std::make_unique<test::WindowFakes>();
        m_recorded = 0;
    }
    void showsAndStoresTheSettings()
    {
        {
            auto d = open(); // an empty store: the default columns, no widths, the warning on
            for (int i = 0; i < 8; ++i) {
                QCOMPARE(column(d.get(), i)->isChecked(), i != 7);
                QVERIFY(!fixed(d.get(), i)->isChecked() && !width(d.get(), i)->isEnabled());
                QCOMPARE(fixed(d.get(), i)->isEnabled(), i != 7); // a hidden column has no width
            }
            QVERIFY(child<QCheckBox>(d.get(), "chkShowResWarning")->isChecked());
            QVERIFY(!child<QPushButton>(d.get(), "cmdGetCSS")->isEnabled());
            fixed(d.get(), 1)->click();
            width(d.get(), 1)->setText(QStringLiteral("20%"));
            column(d.get(), 7)->click();
            child<QCheckBox>(d.get(), "chkCreateIndex")->click();
            child<QPushButton>(d.get(), "cmdOK")->click();
        }
        QCOMPARE(setting(Reg::BrowserColumnsFixedWidth, QString()), QStringLiteral("0|20%|0|0|0|0|0|0"));
        QCOMPARE(setting(Reg::BrowserColumns, QString()), QStringLiteral("11111111"));
        QCOMPARE(setting(Reg::CreateIndex, QString()) + setting(Reg::AutoSave, QString()), QStringLiteral("10"));
        QCOMPARE(m_recorded, 1);
        auto d = open();
        QVERIFY(fixed(d.get(), 1)->isChecked() && column(d.get(), 7)->isChecked());
        QCOMPARE(width(d.get(), 1)->text(), QStringLiteral("20%"));
        // clearing a column drops its width; ticking it again leaves the width off, its text kept
        column(d.get(), 1)->click();
        QVERIFY(!fixed(d.get(), 1)->isChecked() && !fixed(d.get(), 1)->isEnabled() && !width(d.get(), 1)->isEnabled());
        column(d.get(), 1)->click();
        QVERIFY(fixed(d.get(), 1)->isEnabled() && !fixed(d.get(), 1)->isChecked());
        QCOMPARE(width(d.get(), 1)->text(), QStringLiteral("20%"));
    }

    void widthsThatWouldBreakThePageAreRefused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("pixels") << "150" << true;
        QTest::newRow("decimal") << "1.5" << false;
        QTest::newRow("percent only") << "%" << false;
        QTest::newRow("blank") << " 10" << false;
    }
    void widthsThatWouldBreakThePageAreRefused()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        auto d = open();
        d->show();
        fixed(d.get(), 5)->click();
        width(d.get(), 5)->setText(text);
        if (!accepted)
            m_fakes->prompts.expect(Texts::widthRefused(QStringLiteral("Watched")), Answer::Ok);
        d->cmdOK_Click();
        QCOMPARE(d->isVisible(), !accepted);
        QCOMPARE(setting(Reg::BrowserColumnsFixedWidth, QStringLiteral("absent")),
                 accepted ? QStringLiteral("0|0|0|0|0|%1|0|0").arg(text) : QStringLiteral("absent"));
        QCOMPARE(m_recorded, accepted ? 1 : 0);
        if (!accepted)
            QCOMPARE(d->focusWidget(), width(d.get(), 5));
        d->close();
    }

    void styleSheetTitleAndPath()
    {
        saveSetting(Reg::UserCSS, QStringLiteral("/home/user/styles/list.css"));
        auto d = open();
        QVERIFY(child<QCheckBox>(d.get(), "chkUserCSS")->isChecked());
        QCOMPARE(css(d)->text(), QStringLiteral("list.css"));
        QVERIFY(child<QPushButton>(d.get(), "cmdGetCSS")->isEnabled());
        css(d)->setText(QStringLiteral("typed over.css"));
        d->cmdOK_Click();
        QCOMPARE(setting(Reg::UserCSS, QString()), QStringLiteral("/home/user/styles/list.css"));
        d = open();
        m_fakes->dialogs.openAnswers.push_back({QStringLiteral("/tmp/a.css"), QStringLiteral("/tmp/b.css")});
        d->cmdGetCSS_Click();
        QCOMPARE(css(d)->text(), QStringLiteral("a.css"));
        d->cmdOK_Click();
        QCOMPARE(setting(Reg::UserCSS, QString()), QStringLiteral("/tmp/a.css"));
        d = open();
        css(d)->clear();
        d->cmdOK_Click();
        QCOMPARE(setting(Reg::UserCSS, QStringLiteral("deleted")), QStringLiteral("deleted"));
        saveSetting(Reg::UserCSS, QStringLiteral("/tmp/a.css"));
        d = open();
        child<QCheckBox>(d.get(), "chkUserCSS")->click();
        QVERIFY(!child<QPushButton>(d.get(), "cmdGetCSS")->isEnabled());
        d->cmdOK_Click();
        QCOMPARE(setting(Reg::UserCSS, QStringLiteral("deleted")), QStringLiteral("deleted"));
    }

    void enterPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("stored"); // BrowserColumns and ShowGetResWarning afterwards
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("a check box") << "chkAutoSave" << QStringLiteral("01111110 0") << false;
        QTest::newRow("Cancel") << "cmdCancel" << QStringLiteral("- -") << false;
        QTest::newRow("style sheet choice") << "cmdGetCSS" << QStringLiteral("- -") << true;
    }
    void enterPressesTheFocusedButton()
    {
        QFETCH(QString, focus);
        QFETCH(bool, stillOpen);
        frmMain w;
        w.show();
        if (focus == QLatin1String("cmdGetCSS")) {
            saveSetting(Reg::UserCSS, QStringLiteral("/none.css"));
            m_fakes->dialogs.openAnswers.push_back({});
        }
        bool open = false;
        m_fakes->modals.next([&](QWidget *d) {
            column(d, 0)->click(); // untick Title
            child<QCheckBox>(d, "chkShowResWarning")->click();
            QWidget *target = d->findChild<QWidget *>(focus);
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
            open = d->isVisible();
            if (open)
                d->close();
        });
        w.cmdConfig_Click();
        QCOMPARE(open, stillOpen);
        QTEST(setting(Reg::BrowserColumns, QStringLiteral("-")) + u' '
                  + setting(Reg::ShowGetResWarning, QStringLiteral("-")),
              "stored");
        QCOMPARE(ShowGetResWarningFlag, stillOpen || focus == QLatin1String("cmdCancel"));
    }

    void okWithAutoSaveOnAndOff()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("cfg.html"));
        frmMain w;
        QVERIFY(w.commands().write(file, QStringLiteral("Cfg")));
        for (const bool on : {true, false}) {
            m_fakes->modals.next([](QWidget *d) {
                child<QCheckBox>(d, "chkAutoSave")->click();
                child<QPushButton>(d, "cmdOK")->click();
            });
            w.cmdConfig_Click();
            QCOMPARE(AutoSaveFlag, on);
            QCOMPARE(setting(Reg::AutoSave, QString()), on ? QStringLiteral("1") : QStringLiteral("0"));
            QCOMPARE(w.document().statusText(),
                     on ? QStringLiteral("0 items in loaded list Cfg, total 0 GB") : Texts::ListModified);
        }
    }
};

QTEST_MAIN(tst_config)
#include "tst_config.moc"
