#include "support/RecordingCanvas.h"

std::vector<RecordingCanvas::Op> RecordingCanvas::OfKind(Op::Kind kind, int page) const {
    std::vector<Op> found;
    for (const Op& op : ops) {
        if (op.kind == kind && (page == 0 || op.page == page)) {
            found.push_back(op);
        }
    }
    return found;
}

void RecordingCanvas::StartDoc() {
    ops.clear();
    headers.clear();
    footers.clear();
    calls << QStringLiteral("StartDoc");
    current_ = 1;
    count_ = 1;
    y_ = 0;
}

void RecordingCanvas::NewPage() {
    calls << QStringLiteral("NewPage");
    current_ = ++count_;
    y_ = 0;
}

void RecordingCanvas::EndDoc() {
    calls << QStringLiteral("EndDoc");
}

void RecordingCanvas::SetCurrentPage(int16_t page) {
    calls << QStringLiteral("SetCurrentPage %1").arg(page);
    current_ = page;
}

void RecordingCanvas::SetMeasureText(const QString& text) {
    ++measures;
    textWidth_ = static_cast<int32_t>(text.size()) * CharWidth(fontSize_);
    textHeight_ = Height(fontSize_);
}

RecordingCanvas::Op RecordingCanvas::Make(Op::Kind kind) const {
    Op op;
    op.kind = kind;
    op.page = current_;
    op.fontSize = fontSize_;
    op.bold = bold_;
    op.align = align_;
    op.penWidth = penWidth_;
    op.brushColor = brushColor_;
    op.brushStyle = brushStyle_;
    op.foreColor = foreColor_;
    return op;
}

void RecordingCanvas::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    Op op = Make(Op::Kind::Line);
    op.a = x1;
    op.b = y1;
    op.c = x2;
    op.d = y2;
    ops.push_back(op);
}

void RecordingCanvas::DrawRect(int32_t x, int32_t y, int32_t width, int32_t height) {
    Op op = Make(Op::Kind::Rect);
    op.a = x;
    op.b = y;
    op.c = width;
    op.d = height;
    ops.push_back(op);
}

void RecordingCanvas::TextOut(int32_t x, int32_t y, const QString& text) {
    Op op = Make(Op::Kind::Text);
    op.a = x;
    op.b = y;
    op.text = text;
    textHeight_ = Height(fontSize_);
    ops.push_back(op);
}
