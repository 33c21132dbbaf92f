#include "controller/views/graph_picture.h"

#include "code/loader.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <system_error>

#include <sys/resource.h>
#include <unistd.h>

namespace korvex {

namespace {

constexpr double kArcStepRadians = 0.05;  // chord length of drawn arcs
// The outline builder looks whether its work is still wanted this often (segments).
constexpr std::size_t kAbandonCheckSegments = 1 << 14;
constexpr int kPictureThreadNice = 10;

void addArc(QPainterPath& path, double cx, double cy, const PathElement& e) {
    const double a0 = std::atan2(static_cast<double>(e.startY), static_cast<double>(e.startX));
    double a1 = std::atan2(static_cast<double>(e.endY), static_cast<double>(e.endX));
    const double r = std::hypot(static_cast<double>(e.startX), static_cast<double>(e.startY));
    const bool ccw = e.kind == kElementArcCcw;
    if (ccw && a1 <= a0)
        a1 += 2 * M_PI;
    if (!ccw && a1 >= a0)
        a1 -= 2 * M_PI;
    const int steps = std::max(2, static_cast<int>(std::abs(a1 - a0) / kArcStepRadians));
    for (int i = 1; i <= steps; ++i) {
        const double a = a0 + (a1 - a0) * i / steps;
        path.lineTo(cx + r * std::cos(a), cy + r * std::sin(a));
    }
}

}  // namespace

QTransform graphFitTransform(const QRectF& bounds, const QSizeF& size, double marginPx) {
    const QRectF area = QRectF(QPointF(0, 0), size).adjusted(marginPx, marginPx, -marginPx, -marginPx);
    const double extent = std::max({bounds.width(), bounds.height(), 1.0});
    const double scale = std::max(0.0, std::min(area.width(), area.height())) / extent;
    // Machine coordinates have Y upwards.
    QTransform t;
    t.translate(area.center().x(), area.center().y());
    t.scale(scale, -scale);
    t.translate(-bounds.center().x(), -bounds.center().y());
    return t;
}

std::optional<GraphOutline> buildGraphOutline(const LoadedProgram& program, double mergeMicrons,
                                              const std::function<bool()>& abandon) {
    GraphOutline out;
    double x = 0, y = 0;
    out.path.moveTo(0, 0);
    QPointF last(0, 0);
    std::size_t sinceCheck = 0;
    for (const CodeSegment& s : program.segments) {
        if (++sinceCheck == kAbandonCheckSegments) {
            sinceCheck = 0;
            if (abandon && abandon())
                return std::nullopt;
        }
        const PathElement& e = s.lower;
        if (e.kind == kElementLine || e.kind == kElementSwitch) {
            const double nx = x + e.dx(), ny = y + e.dy();
            if (e.kind == kElementSwitch && (e.dx() != 0 || e.dy() != 0)) {
                out.rapids.moveTo(x, y);
                out.rapids.lineTo(nx, ny);
                out.path.moveTo(nx, ny);
                last = QPointF(nx, ny);
            } else if (std::abs(nx - last.x()) + std::abs(ny - last.y()) >= mergeMicrons) {
                out.path.lineTo(nx, ny);
                last = QPointF(nx, ny);
            }
            x = nx;
            y = ny;
        } else if (e.isArc()) {
            addArc(out.path, x - e.startX, y - e.startY, e);
            x += e.dx();
            y += e.dy();
            out.path.lineTo(x, y);
            last = QPointF(x, y);
        }
    }
    if (last != QPointF(x, y))
        out.path.lineTo(x, y);
    return out;
}

GraphPictureThread::GraphPictureThread(Finished finished) : finished_(std::move(finished)) {
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to spare: request() draws on the caller's thread instead.
    }
}

GraphPictureThread::~GraphPictureThread() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void GraphPictureThread::request(Job job) {
    if (!thread_.joinable()) {
        // Without a thread of its own the picture is drawn here; nothing else can be done.
        {
            std::lock_guard lock(mutex_);
            newest_ = job.generation;
        }
        draw(std::move(job));
        return;
    }
    {
        std::lock_guard lock(mutex_);
        newest_ = job.generation;
        pending_ = std::move(job);
    }
    wake_.notify_all();
}

bool GraphPictureThread::superseded(uint64_t generation) const {
    std::lock_guard lock(mutex_);
    return stopping_ || newest_ != generation;
}

void GraphPictureThread::run() {
    // The picture may take a while; the window's thread comes first when the cores are busy.
    setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kPictureThreadNice);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_.has_value(); });
            if (stopping_)
                return;
            job = std::move(*pending_);
            pending_.reset();
        }
        draw(std::move(job));
    }
}

void GraphPictureThread::draw(Job job) {
    const auto abandon = [this, generation = job.generation] { return superseded(generation); };
    if (job.program != outlined_) {
        outlined_.reset();
        outline_ = GraphOutline{};
        if (job.program) {
            // A quarter of a device pixel at the fitted scale is below what can be seen.
            const double scale = std::min(job.size.width(), job.size.height()) /
                                 std::max({job.bounds.width(), job.bounds.height(), 1.0});
            const double merge = scale > 0 ? 0.25 / scale : 0;
            std::optional<GraphOutline> built = buildGraphOutline(*job.program, merge, abandon);
            if (!built)
                return;
            outline_ = std::move(*built);
            outlined_ = job.program;
        }
    }
    if (job.size.isEmpty() || abandon())
        return;
    QImage picture(job.size, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(job.devicePixelRatio);
    picture.fill(Qt::transparent);
    if (job.program) {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        const QSizeF logical(job.size.width() / job.devicePixelRatio,
                             job.size.height() / job.devicePixelRatio);
        p.setTransform(graphFitTransform(job.bounds, logical, job.marginPx));
        p.setPen(QPen(Qt::green, 0));
        p.drawPath(outline_.path);
        p.setPen(QPen(Qt::yellow, 0, Qt::DashLine));
        p.drawPath(outline_.rapids);
    }
    if (abandon())
        return;
    finished_(job.generation, std::move(picture));
}

}  // namespace korvex
