#pragma once

#include <QString>

#include <exception>

// A failure the user is told about: the text is ready for a message box.
class DataError : public std::exception {
public:
    // line: the 1-based line of the file the failure lies in, so an editor can go there; 0
    // when the failure has no line.
    explicit DataError(QString message, int line = 0)
        : message_(std::move(message))
        , utf8_(message_.toUtf8())
        , line_(line) {}
    const QString& message() const noexcept { return message_; }
    int line() const noexcept { return line_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
    int line_ = 0;
};
