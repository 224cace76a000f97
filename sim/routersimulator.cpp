#include "sim/routersimulator.h"

#include "link/sysexframe.h"
#include "routing/portidentity.h"

#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

const QByteArray envelopeHead("\xF0\x00\x21\x5E", 4);

// Start-up query items; each report comes back with its item as the message code.
enum QueryItem { ItemMode = 1, ItemPortCounts, ItemRoutes, ItemFilterPortCounts, ItemFilters };

// Byte 10 of a route command.
constexpr int RouteDelete = 0x00;
constexpr int RouteAdd = 0x01;
constexpr int RouteClearAll = 0x7F;
constexpr int RouteStateActive = 0x01;

constexpr int AllFilterPorts = 0x7F;
constexpr int FilterPortKinds = 6;
constexpr int FilterBytesOffset = 8;

// Refusal reasons of the route result and of the filter result.
constexpr int Refused = 1;
constexpr int RouteBadClass = 1;
constexpr int RouteBadNumber = 2;
constexpr int RouteLimitReached = 3;
constexpr int RouteUnknown = 2;
constexpr int FilterBadNumber = 1;
constexpr int FilterBadCode = 2;
constexpr int FilterBadByte = 3;

constexpr int ChunkGapMs = 1; // lets the reader see every chunk on its own

int unsignedByte(const QByteArray &frame, int index) {
    return index < frame.size() ? quint8(frame.at(index)) : 0;
}

} // namespace

RouterSimulator::RouterSimulator(QObject *parent)
    : QObject(parent) {
    clock.start();
}

RouterSimulator::~RouterSimulator() {
    closeLine();
}

bool RouterSimulator::start() {
    closeLine();
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
        lastError = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    // Raw from the start: the tool may open the line before it sets its own modes.
    termios modes{};
    ::tcgetattr(slave, &modes);
    ::cfmakeraw(&modes);
    ::cfsetspeed(&modes, B115200);
    ::tcsetattr(slave, TCSANOW, &modes);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);

    char name[128] = {};
    ::ttyname_r(slave, name, sizeof name);
    masterFd = master;
    slaveFd = slave;
    slaveName = QString::fromLocal8Bit(name);
    lastError.clear();

    int wake[2] = {-1, -1};
    if (::pipe2(wake, O_CLOEXEC) != 0) {
        lastError = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        closeLine();
        return false;
    }
    wakeWriteFd = wake[1];
    ++lineNumber;
    reader = std::thread(&RouterSimulator::readerLoop, this, masterFd, wake[0], lineNumber);
    writeNotifier = new QSocketNotifier(masterFd, QSocketNotifier::Write, this);
    writeNotifier->setEnabled(false);
    connect(writeNotifier, &QSocketNotifier::activated, this, [this] {
        writeNotifier->setEnabled(false);
        pumpOutput();
    });
    outputTimer = new QTimer(this);
    outputTimer->setSingleShot(true);
    outputTimer->setTimerType(Qt::PreciseTimer);
    connect(outputTimer, &QTimer::timeout, this, &RouterSimulator::pumpOutput);
    return true;
}

void RouterSimulator::closeLine() {
    if (reader.joinable()) {
        const char stop = 0;
        while (::write(wakeWriteFd, &stop, 1) < 0 && errno == EINTR) {
        }
        reader.join();
    }
    if (wakeWriteFd >= 0)
        ::close(wakeWriteFd);
    wakeWriteFd = -1;
    delete writeNotifier;
    delete outputTimer;
    writeNotifier = nullptr;
    outputTimer = nullptr;
    for (int *fd : {&masterFd, &slaveFd}) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
    rxBuffer.clear();
    txQueue.clear();
    heldReplies.clear();
}

QString RouterSimulator::lineSettings() const {
    termios modes{};
    if (slaveFd < 0 || ::tcgetattr(slaveFd, &modes) != 0)
        return QString();
    static const QMap<speed_t, int> bauds = {{B9600, 9600},   {B19200, 19200},   {B38400, 38400},
                                             {B57600, 57600}, {B115200, 115200}, {B230400, 230400}};
    static const QMap<tcflag_t, int> sizes = {{CS5, 5}, {CS6, 6}, {CS7, 7}, {CS8, 8}};
    const char parity = !(modes.c_cflag & PARENB) ? 'N' : (modes.c_cflag & PARODD) ? 'O' : 'E';
    const bool flow = (modes.c_cflag & CRTSCTS) || (modes.c_iflag & (IXON | IXOFF));
    return QStringLiteral("%1 %2%3%4%5")
        .arg(bauds.value(::cfgetospeed(&modes)))
        .arg(sizes.value(modes.c_cflag & CSIZE))
        .arg(QLatin1Char(parity))
        .arg(modes.c_cflag & CSTOPB ? 2 : 1)
        .arg(flow ? QStringLiteral(" flow control") : QString());
}

QString RouterSimulator::slavePath() const {
    return slaveName;
}

QString RouterSimulator::errorString() const {
    return lastError;
}

void RouterSimulator::setMode(int code) {
    modeCode = code;
}

int RouterSimulator::mode() const {
    return modeCode;
}

void RouterSimulator::setPortCounts(const PortCounts &portCounts) {
    counts = portCounts;
}

RouterSimulator::PortCounts RouterSimulator::portCounts() const {
    return counts;
}

int RouterSimulator::filterPortCount(int filterPortCode) const {
    switch (filterPortCode) {
    case 0:
        return counts.midiIn;
    case 1:
        return counts.midiOut;
    case 2:
    case 3:
        return counts.usbHost;
    case 4:
    case 5:
        return counts.usbDevice;
    default:
        return 0;
    }
}

void RouterSimulator::setRoutes(const QList<Route> &routes) {
    routeTable.clear();
    for (const Route &route : routes) {
        if (!routeTable.contains(route))
            routeTable.append(route);
    }
}

QList<RouterSimulator::Route> RouterSimulator::routes() const {
    return routeTable;
}

void RouterSimulator::setRouteLimitPerSource(int limit) {
    routeLimit = limit;
}

int RouterSimulator::routeLimitPerSource() const {
    return routeLimit;
}

void RouterSimulator::setFilter(const FilterPort &port, const FilterBytes &bytes) {
    filters.insert(port, bytes);
}

FilterBytes RouterSimulator::filter(const FilterPort &port) const {
    return filters.value(port, FilterBytes{});
}

QList<RouterSimulator::ReceivedFrame> RouterSimulator::receivedFrames() const {
    return received;
}

QList<QByteArray> RouterSimulator::receivedBytes() const {
    QList<QByteArray> frames;
    for (const ReceivedFrame &frame : received)
        frames.append(frame.bytes);
    return frames;
}

void RouterSimulator::clearReceived() {
    received.clear();
}

void RouterSimulator::setRandomChunks(bool on, quint32 seed, int maxChunkSize) {
    randomChunks = on;
    maxChunk = std::max(1, maxChunkSize);
    random.seed(seed);
}

void RouterSimulator::setPacing(int baud) {
    pacingBaud = std::max(0, baud);
    paceStartNs = clock.nsecsElapsed();
    pacedSent = 0;
}

void RouterSimulator::refuseNext(int result, int reason) {
    pendingRefusal = Verdict{result, reason};
}

void RouterSimulator::dropNextVerdict() {
    dropVerdict = true;
}

void RouterSimulator::holdReplies(bool on) {
    holding = on;
    if (!on)
        queueOutput(std::exchange(heldReplies, QByteArray()));
}

void RouterSimulator::setSilent(bool on) {
    silent = on;
}

void RouterSimulator::hangUp() {
    closeLine();
}

void RouterSimulator::inject(const QByteArray &bytes) {
    queueOutput(bytes);
}

// Runs on the reader thread until a byte arrives on wakeFd: reads the line as soon as bytes
// come and hands each chunk, stamped, to the simulator's own thread. Owns wakeFd.
void RouterSimulator::readerLoop(int fd, int wakeFd, quint64 line) {
    // Stamps are only as good as the reader's wake-ups: where the system allows it, the reader
    // runs before ordinary threads (it only ever blocks, reads and hands on).
    const sched_param priority{1};
    pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
    pollfd watched[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
    for (;;) {
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (watched[1].revents != 0)
            break;
        char chunk[512];
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count > 0) {
            const QByteArray bytes(chunk, int(count));
            const qint64 atMs = clock.elapsed();
            QMetaObject::invokeMethod(
                this, [this, bytes, atMs, line] { takeBytes(bytes, atMs, line); },
                Qt::QueuedConnection);
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            ::poll(&watched[1], 1, -1); // the line is gone: wait to be stopped
            break;
        }
    }
    ::close(wakeFd);
}

void RouterSimulator::takeBytes(const QByteArray &chunk, qint64 atMs, quint64 line) {
    if (line != lineNumber || masterFd < 0)
        return; // read off a line that has been hung up since
    rxBuffer.append(chunk);
    // A slot of frameReceived may hang up, which empties rxBuffer and ends this loop.
    while (std::optional<QByteArray> frame = rxBuffer.takeFrame()) {
        received.append({atMs, *frame});
        emit frameReceived(*frame);
        handleFrame(*frame);
    }
}

void RouterSimulator::handleFrame(const QByteArray &frame) {
    if (silent || !frame.startsWith(envelopeHead))
        return;
    const int messageClass = unsignedByte(frame, 4);
    const int code = unsignedByte(frame, 5);
    if (messageClass == SysexFrame::ClassQuery && code == SysexFrame::CodeQuery &&
        frame.size() == 8) {
        answerQuery(unsignedByte(frame, 6));
        return;
    }
    struct SetCommandForm {
        int code;
        int length;
        SetCommand command;
    };
    static const SetCommandForm setCommands[] = {
        {SysexFrame::CodeRoute, 12, &RouterSimulator::routeCommand},
        {SysexFrame::CodeConfig, 8, &RouterSimulator::configCommand},
        {SysexFrame::CodeFilter, 36, &RouterSimulator::filterCommand},
    };
    if (messageClass != SysexFrame::ClassSet)
        return;
    for (const SetCommandForm &form : setCommands) {
        if (form.code == code && form.length == frame.size())
            answerSetCommand(code, form.command, frame);
    }
}

void RouterSimulator::answerQuery(int item) {
    const auto report = [this, item](std::initializer_list<int> payload) {
        queueOutput(SysexFrame::build(SysexFrame::ClassQuery, item, payload));
    };
    switch (item) {
    case ItemMode:
        report({modeCode});
        break;
    case ItemPortCounts:
        report({counts.midiIn, counts.midiOut, counts.usbHost, counts.usbDevice});
        break;
    case ItemRoutes:
        for (const Route &route : routeTable)
            report({route.first.first, route.first.second, route.second.first, route.second.second,
                    RouteStateActive});
        break;
    case ItemFilterPortCounts:
        report({filterPortCount(0), filterPortCount(1), filterPortCount(2), filterPortCount(3),
                filterPortCount(4), filterPortCount(5)});
        break;
    case ItemFilters:
        for (const FilterPort &port : filterPorts()) {
            QByteArray payload;
            payload.append(char(port.first));
            payload.append(char(port.second));
            for (qint32 value : filter(port))
                payload.append(char(value & 0xFF));
            payload.append(2, '\0');
            queueOutput(SysexFrame::build(SysexFrame::ClassQuery, item, payload));
        }
        break;
    default:
        break;
    }
}

void RouterSimulator::answerSetCommand(int code, SetCommand command, const QByteArray &frame) {
    const bool refusing = pendingRefusal.has_value();
    std::optional<Verdict> verdict = (this->*command)(frame, !refusing);
    if (!verdict)
        return;
    if (refusing) {
        verdict = pendingRefusal;
        pendingRefusal.reset();
    }
    if (std::exchange(dropVerdict, false))
        return;
    queueOutput(SysexFrame::build(SysexFrame::ClassSet, code, {verdict->result, verdict->reason}));
}

std::optional<RouterSimulator::Verdict> RouterSimulator::routeCommand(const QByteArray &frame,
                                                                      bool apply) {
    const Route route{{unsignedByte(frame, 6), unsignedByte(frame, 7)},
                      {unsignedByte(frame, 8), unsignedByte(frame, 9)}};
    switch (unsignedByte(frame, 10)) {
    case RouteAdd: {
        const Verdict verdict = judgeRouteAdd(route);
        if (apply && verdict.result == 0 && !routeTable.contains(route))
            routeTable.append(route);
        return verdict;
    }
    case RouteDelete:
        if (!routeTable.contains(route))
            return Verdict{Refused, RouteUnknown};
        if (apply)
            routeTable.removeOne(route);
        return Verdict{};
    case RouteClearAll:
        if (apply)
            routeTable.clear();
        return Verdict{};
    default:
        return std::nullopt;
    }
}

RouterSimulator::Verdict RouterSimulator::judgeRouteAdd(const Route &route) const {
    const RouteEnd &source = route.first;
    const RouteEnd &destination = route.second;
    const int sourceCount = portCount(source.first, true);
    const int destinationCount = portCount(destination.first, false);
    if (sourceCount < 0 || destinationCount < 0)
        return {Refused, RouteBadClass};
    if (source.second < 1 || source.second > sourceCount || destination.second < 1 ||
        destination.second > destinationCount)
        return {Refused, RouteBadNumber};
    if (routeTable.contains(route))
        return {};
    const auto fromSource = std::count_if(routeTable.cbegin(), routeTable.cend(),
                                          [&](const Route &held) { return held.first == source; });
    if (fromSource >= routeLimit)
        return {Refused, RouteLimitReached};
    return {};
}

int RouterSimulator::portCount(int portClass, bool source) const {
    switch (portClass) {
    case PortIdentity::Midi:
        return source ? counts.midiIn : counts.midiOut;
    case PortIdentity::UsbHost:
        return counts.usbHost;
    case PortIdentity::UsbDevice:
        return counts.usbDevice;
    default:
        return -1;
    }
}

std::optional<RouterSimulator::Verdict> RouterSimulator::configCommand(const QByteArray &frame,
                                                                       bool) {
    if (unsignedByte(frame, 6) != 0)
        return std::nullopt;
    return Verdict{};
}

std::optional<RouterSimulator::Verdict> RouterSimulator::filterCommand(const QByteArray &frame,
                                                                       bool apply) {
    const int code = unsignedByte(frame, 6);
    const int number = unsignedByte(frame, 7);
    QList<FilterPort> targets;
    if (code == AllFilterPorts && number == 0)
        targets = filterPorts();
    else if (code >= FilterPortKinds)
        return Verdict{Refused, FilterBadCode};
    else if (number < 1 || number > filterPortCount(code))
        return Verdict{Refused, FilterBadNumber};
    else
        targets.append({code, number});

    FilterBytes bytes{};
    for (int k = 0; k < FilterByteCount; ++k) {
        bytes[k] = unsignedByte(frame, FilterBytesOffset + k);
        if (bytes[k] >= 0x80)
            return Verdict{Refused, FilterBadByte};
    }
    if (apply) {
        for (const FilterPort &port : targets)
            filters.insert(port, bytes);
    }
    return Verdict{};
}

QList<RouterSimulator::FilterPort> RouterSimulator::filterPorts() const {
    QList<FilterPort> ports;
    for (int code = 0; code < FilterPortKinds; ++code) {
        for (int number = 1; number <= filterPortCount(code); ++number)
            ports.append({code, number});
    }
    return ports;
}

void RouterSimulator::queueOutput(const QByteArray &bytes) {
    if (masterFd < 0)
        return;
    if (holding) {
        heldReplies.append(bytes);
        return;
    }
    if (txQueue.isEmpty()) {
        paceStartNs = clock.nsecsElapsed();
        pacedSent = 0;
    }
    txQueue.append(bytes);
    pumpOutput();
}

void RouterSimulator::pumpOutput() {
    if (masterFd < 0 || writeNotifier->isEnabled() || outputTimer->isActive())
        return;
    while (!txQueue.isEmpty()) {
        qint64 size = txQueue.size();
        if (pacingBaud > 0) {
            size = std::min(size, pacedAllowance());
            if (size == 0) {
                outputTimer->start(msUntilNextPacedByte());
                return;
            }
        }
        if (randomChunks)
            size = std::min<qint64>(size, std::uniform_int_distribution<int>(1, maxChunk)(random));
        const ssize_t written = ::write(masterFd, txQueue.constData(), size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            // Full pty buffer: go on when the tool has read some.
            writeNotifier->setEnabled(true);
            return;
        }
        txQueue.remove(0, int(written));
        pacedSent += written;
        if (txQueue.isEmpty())
            lastReplyNs = std::chrono::steady_clock::now().time_since_epoch().count();
        if (randomChunks && !txQueue.isEmpty()) {
            outputTimer->start(ChunkGapMs);
            return;
        }
    }
}

qint64 RouterSimulator::pacedAllowance() const {
    // A byte leaves once its ten bits would have gone over the line.
    const qint64 busyNs = clock.nsecsElapsed() - paceStartNs;
    const qint64 bytesPerSecond = pacingBaud / 10;
    return std::max<qint64>(0, busyNs * bytesPerSecond / 1000000000 - pacedSent);
}

int RouterSimulator::msUntilNextPacedByte() const {
    const qint64 bytesPerSecond = std::max(1, pacingBaud / 10);
    const qint64 dueNs = paceStartNs + (pacedSent + 1) * 1000000000 / bytesPerSecond;
    const qint64 waitNs = dueNs - clock.nsecsElapsed();
    return int(std::clamp<qint64>((waitNs + 999999) / 1000000, 1, INT_MAX));
}
