#pragma once

#include <QDate>
#include <QDateTime>

// When a book is made: the moment in UTC and the day on the person's calendar. Both are taken once, on the
// thread that starts the conversion; turning a time into local time reads the system's time zone, which the
// packing workers must not do at once.
struct BookMoment {
    QDateTime utc;
    QDate localDay;

    static BookMoment Now()
    {
        const QDateTime now = QDateTime::currentDateTime();
        return {now.toUTC(), now.date()};
    }
};
