// The graph view's picture of a program, drawn beside the window's thread.
//
//   UI thread (CGraphView)                    picture thread
//   ----------------------                    --------------
//   new program or size -> request(job) ----> takes the newest job (older ones are dropped)
//                                             program new? builds its outline (path, rapids),
//                                               giving up as soon as a newer job waits
//                                             draws the outline at the job's size
//   finished(generation, image) <---post----  one image per job that ran to the end
//   paint: the newest finished image of the current program (scaled while a resize runs)
//
// Building the outline of a million-segment program takes seconds; the window never waits for
// it: until its picture is ready the view shows the grid, and a newer program or size makes the
// thread drop the older work at once. The outline of the last program is kept, so a resize only
// redraws.
#pragma once

#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QSize>
#include <QTransform>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace korvex {

struct LoadedProgram;

// Where the program is drawn in a view of `size`: `bounds` (program coordinates, microns, Y up)
// fitted into the size less its margins, centred.
QTransform graphFitTransform(const QRectF& bounds, const QSizeF& size, double marginPx);

// The outline of a program: cutting moves in one path, rapids (switch moves) in another.
struct GraphOutline {
    QPainterPath path;
    QPainterPath rapids;
};

// Builds the outline of `program`. Points closer than `mergeMicrons` are merged, so a huge
// program draws in a bounded number of strokes. `abandon` is polled now and then; when it says
// true the work stops and nothing is returned.
std::optional<GraphOutline> buildGraphOutline(const LoadedProgram& program, double mergeMicrons,
                                              const std::function<bool()>& abandon);

class GraphPictureThread {
public:
    struct Job {
        uint64_t generation = 0;
        std::shared_ptr<const LoadedProgram> program;  // kept alive by the job
        QRectF bounds;
        QSize size;                // device pixels
        double devicePixelRatio = 1.0;
        double marginPx = 0;       // in widget pixels
    };
    // Called on the picture thread for every job drawn to the end (on the caller's thread when
    // no thread could be started).
    using Finished = std::function<void(uint64_t generation, QImage picture)>;

    explicit GraphPictureThread(Finished finished);
    ~GraphPictureThread();
    GraphPictureThread(const GraphPictureThread&) = delete;
    GraphPictureThread& operator=(const GraphPictureThread&) = delete;

    // Replaces any job still waiting; one being drawn is given up at its next look.
    void request(Job job);

private:
    void run();
    // Outline (when the program is new) and picture of one job; the picture goes to finished_.
    void draw(Job job);
    bool superseded(uint64_t generation) const;

    Finished finished_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    uint64_t newest_ = 0;
    bool stopping_ = false;
    std::thread thread_;

    // Picture thread only: the outline of the program drawn last.
    std::shared_ptr<const LoadedProgram> outlined_;
    GraphOutline outline_;
};

}  // namespace korvex
