#pragma once

#include <QString>

#include <exception>

// A failure the user is told about: the text is ready for a message box.
class DataError : public std::exception {
public:
    explicit DataError(QString message)
        : message_(std::move(message))
        , utf8_(message_.toUtf8()) {}
    const QString& message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};
