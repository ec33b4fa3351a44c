#pragma once
// A main window built offscreen in a scratch program folder, with message
// boxes answered by the test.
#include "common/msgbox.h"
#include "config/recordfile.h"
#include "graph/graph.h"
#include "mainwindow/feuillep.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QApplication &testApp()
{
    static int argc = 1;
    static char arg0[] = "test";
    static char *argv[] = {arg0, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    return *app;
}

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testApp();
        qputenv("SPECTRO_DATA_DIR", dir.path().toUtf8());
        graph::Graph::nonBlockingTrace = true;
        calls.clear();
        msgbox::handler = [this](const msgbox::Call &c) {
            calls.push_back(c);
            if (answers.empty())
                return msgbox::Answer::Ok;
            const msgbox::Answer a = answers.front();
            answers.erase(answers.begin());
            return a;
        };
        w = std::make_unique<FeuilleP>();
    }
    void TearDown() override
    {
        w.reset();
        msgbox::handler = nullptr;
    }
    QString record(int n) const
    {
        QString t;
        recordfile::readFileRecord(dir.filePath(QStringLiteral("TEMPKZ.TMP")), n, &t);
        return t;
    }
    // Runs a trace to its natural end by driving the timer ticks.
    void traceToEnd()
    {
        graph::Graph &g = *w->graph;
        g.Command5_Click();
        g.Timer1.stop();
        for (int guard = 0; g.tracing() && guard < 2000; ++guard) {
            g.Timer1_Timer();
            g.Timer1.stop();
            while (g.Timer2.isActive()) {
                g.Timer2_Timer();
                if (g.compteanim > 30)
                    g.Timer2.stop();
            }
        }
    }
    QTemporaryDir dir;
    std::vector<msgbox::Call> calls;
    std::vector<msgbox::Answer> answers;
    std::unique_ptr<FeuilleP> w;
};
