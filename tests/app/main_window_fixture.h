#pragma once

#include "app/app_font.h"
#include "app/frm_converter.h"
#include "core/messages.h"
#include "support/temp_folder.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

namespace grelm::test {

/// A program folder and a game folder in sandboxes, and a main window started
/// over them whose messages are recorded.
class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerWindowFont(FilePath::fromEscapedText(QCoreApplication::applicationDirPath())); }

    /// Starts the window; the setting file, if any, must be written first.
    Frm_Converter &start()
    {
        m_window = std::make_unique<Frm_Converter>(m_messages, SettingPlaces{m_program.filePath(), m_config.filePath()});
        return *m_window;
    }

    /// Writes a setting file naming the game folder.
    void storeGameFolder() { m_program.write(QStringLiteral("SLoadPath.txt"), '"' + m_game.path().toUtf8() + "\"\r\n"); }

    template <typename T = QWidget>
    T *control(const char *name) const
    {
        T *found = m_window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char *name) const { return control<QLineEdit>(name)->text(); }

    TempFolder m_program;
    TempFolder m_config; ///< the user's config folder, so that no test reads or writes the real one
    TempFolder m_game;
    RecordingMessageSink m_messages;
    std::unique_ptr<Frm_Converter> m_window;
};

} // namespace grelm::test
