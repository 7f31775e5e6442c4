#pragma once

// Small helpers shared by the plain timing programs.
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

inline double NowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Resident and peak resident memory of this process, in MB.
inline double StatusMb(const char* key) {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(strlen(key)))
                       .trimmed()
                       .split(' ')[0]
                       .toDouble() /
                   1024.0;
    return 0;
}

} // namespace bench
