#include "services/CSoundPlayer.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <filesystem>

const CStringArray& CSoundPlayer::Players() {
    static const CStringArray players = {"pw-play", "paplay", "aplay"};
    return players;
}

CString CSoundPlayer::FindPlayer() {
    for (const CString& name : Players()) {
        const QString path = QStandardPaths::findExecutable(QString::fromStdString(name));
        if (!path.isEmpty())
            return path.toStdString();
    }
    return "";
}

int CSoundPlayer::Play(const CString& file) {
    std::error_code ec;
    if (file.empty() || !std::filesystem::is_regular_file(file, ec))
        return -1;
    const CString player = FindPlayer();
    if (player.empty())
        return -1;
    QStringList arguments;
    // aplay speaks on standard error about every file it plays; keep it quiet.
    if (std::filesystem::path(player).filename() == "aplay")
        arguments << "-q";
    arguments << QString::fromStdString(file);
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QString::fromStdString(player), arguments);
    if (!process.waitForStarted(5000))
        return -1;
    if (!process.waitForFinished(kLongestSoundMs)) {
        process.kill();
        process.waitForFinished(1000);
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? 0 : 1;
}
