#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The file a name stands for once every symbolic link on the way is followed: the name as the
// system has it (see EncodeFileName), absolute. For a link to nothing it is the name the
// link's target would be created under; for a name that does not exist, the name itself.
// Throws DataError with LinkLoopReason when the links go round in a circle.
QByteArray FollowLinks(const QByteArray& name);

// True when both names reach one file: the same file on the same disk (links followed, hard
// links included), or, where one does not exist yet, the same place once links are followed.
bool SameFile(const QString& a, const QString& b);

// What SameFile compares: the same for two names exactly when they reach one file.
QByteArray FileIdentity(const QString& name);

// The files a run has read, looked up once, for a run that writes many outputs.
class InputFiles {
public:
    explicit InputFiles(const QStringList& inputs);
    // Throws DataError, naming both, when output is one of the inputs.
    void RefuseOverwriting(const QString& output) const;

private:
    QList<std::pair<QByteArray, QString>> identities_;
};

// Every command that writes a file asks this first, with the files the program has read that
// the output could be: throws DataError, before anything is written, when output is one of
// inputs. Empty names among inputs are passed over.
void RefuseOverwritingInput(const QString& output, const QStringList& inputs);
