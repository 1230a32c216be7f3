#pragma once

#include <QByteArray>
#include <QDate>
#include <QMap>
#include <QString>
#include <QStringEncoder>

// Files laid out as the Meteorological Agency's download of past observations: Shift-JIS, CR LF,
// the download line, an empty line, the station, item and option rows, then one row a period.

// One day's value cell with its options; days not listed are dry days of quality 8.
struct AgencyDay {
    QString value;
    QString noPhenomenon = QStringLiteral("0");
    QString quality = QStringLiteral("8");
};

inline QByteArray ShiftJis(const QString& text) {
    QStringEncoder encoder("CP932");
    return encoder.encode(text);
}

inline QString AgencyHeader(const QString& dateHeading) {
    return QStringLiteral(
               "ダウンロードした時刻：2024/05/01 10:00:00\r\n"
               "\r\n"
               ",東京,東京,東京,東京\r\n"
               "%1,降水量の合計(mm),降水量の合計(mm),降水量の合計(mm),降水量の合計(mm)\r\n"
               ",,現象なし情報,品質情報,均質番号\r\n")
        .arg(dateHeading);
}

inline QByteArray AgencyDailyFile(QDate first, QDate last, const QMap<QDate, AgencyDay>& days) {
    QString text = AgencyHeader(QStringLiteral("年月日"));
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const AgencyDay cell =
            days.value(day, AgencyDay{QStringLiteral("0.0"), QStringLiteral("1")});
        text += QStringLiteral("%1/%2/%3,%4,%5,%6,1\r\n")
                    .arg(day.year())
                    .arg(day.month())
                    .arg(day.day())
                    .arg(cell.value, cell.noPhenomenon, cell.quality);
    }
    return ShiftJis(text);
}

// A file of a few years worked out by hand: 1999 holds its last two days only; 2000 is a leap
// year with a quality-4 and a quality-1 day, its largest day on 29 February and a two-day sum
// across into March; 2001 misses exactly 73 days (1 March to 12 May), so 292 of its 365 days,
// 80 %, are valid; one dry day of 2001 has no value at all, only its no-phenomenon mark.
//            total   largest   two-day   valid days
//   1999      0        -         -         2/365
//   2000    126.0     50.0      55.5     364/366
//   2001     57.9     45.6      57.9     292/365
inline QByteArray HandWorkedDailyFile() {
    QMap<QDate, AgencyDay> days;
    days[QDate(2000, 1, 10)] = {QStringLiteral("10.5")};
    days[QDate(2000, 1, 11)] = {QStringLiteral("20.0")};
    days[QDate(2000, 2, 29)] = {QStringLiteral("50.0")};
    days[QDate(2000, 3, 1)] = {QStringLiteral("5.5"), QStringLiteral("0"), QStringLiteral("5")};
    days[QDate(2000, 6, 1)] = {QStringLiteral("100.0"), QStringLiteral("0"), QStringLiteral("4")};
    days[QDate(2000, 6, 2)] = {QStringLiteral("40.0")};
    days[QDate(2000, 7, 1)] = {QStringLiteral("30.0"), QStringLiteral("0"), QStringLiteral("1")};
    for (QDate day(2001, 3, 1); day <= QDate(2001, 5, 12); day = day.addDays(1))
        days[day] = {QString(), QStringLiteral("0"), QStringLiteral("1")};
    days[QDate(2001, 6, 5)] = {QString(), QStringLiteral("1")};
    days[QDate(2001, 8, 1)] = {QStringLiteral("12.3")};
    days[QDate(2001, 8, 2)] = {QStringLiteral("45.6")};
    return AgencyDailyFile(QDate(1999, 12, 30), QDate(2001, 12, 31), days);
}
