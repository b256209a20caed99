#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// The local time zone for one test: the process's TZ while this lives.
class LocalZone
{
public:
    explicit LocalZone(const char* zone)
        : m_old(qgetenv("TZ")), m_had(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        ::tzset();
    }
    ~LocalZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        ::tzset();
    }
    LocalZone(const LocalZone&) = delete;
    LocalZone& operator=(const LocalZone&) = delete;

private:
    QByteArray m_old;
    bool m_had;
};
