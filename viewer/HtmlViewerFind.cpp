// The text operations on the selection: select all, find from the caret, the selected text, and copying it to
// the clipboard as plain text and as an HTML fragment of the page's own source.
#include "viewer/HtmlViewer.h"

#include "layout/Document.h"
#include "markup/Buffer.h"
#include "viewer/ClipBuffer.h"
#include "viewer/PaintPanel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>

namespace lantern {

namespace {

constexpr u16v StartFragmentMark = u"<!--StartFragment-->";
constexpr u16v EndFragmentMark = u"<!--EndFragment-->";

// The end of S cut before the markup and blanks that close it, never at or before the fragment's first
// character at From: a fragment ends with the text the reader selected.
void CutTrailingMarkup(u16& S, std::size_t From)
{
    std::size_t last = S.size();
    while (last > From + 1) {
        const char16_t ch = S[last - 1];
        if (ch >= 1 && ch <= 32) {
            --last;
        } else if (ch == u'>') {
            std::size_t open = last - 1;
            while (open > From && S[open] != u'<')
                --open;
            last = open;
        } else {
            break;
        }
    }
    S.resize(std::max(last, std::min(S.size(), From + 1)));
}

// Removes each element that starts with Start (any letter case) through its next '>'.
void RemoveElements(u16& S, u16v Start)
{
    u16 lower = LowerAscii(S);
    for (std::size_t at = lower.find(Start); at != u16::npos; at = lower.find(Start, at)) {
        const std::size_t close = lower.find(u'>', at);
        const std::size_t n = close == u16::npos ? u16::npos : close - at + 1;
        S.erase(at, n);
        lower.erase(at, n);
    }
}

// Page-break properties would split the pasted text over pages.
void DisablePageBreaks(u16& S)
{
    const u16 lower = LowerAscii(S);
    std::size_t removed = 0;
    for (std::size_t at = lower.find(u"page-break-"); at != u16::npos; at = lower.find(u"page-break-", at + 1)) {
        S.erase(at - removed, 1);
        ++removed;
    }
}

void InsertDefaultStyle(u16& S, int FontSize, u16v FontName)
{
    const u16 style = u"<style> body {font-size: " + FromAscii(std::to_string(FontSize)) + u"pt; font-family: \"" +
                      u16(FontName) + u"\"; }</style>";
    const u16 lower = LowerAscii(S);
    if (const std::size_t head = lower.find(u"<head>"); head != u16::npos)
        S.insert(head, style);
    else if (const std::size_t html = lower.find(u"<html>"); html != u16::npos)
        S.insert(html, u"<head>" + style + u"</head>");
    else
        S.insert(0, u"<head>" + style + u"</head>");
}

std::string HeaderLine(const char* Label, std::size_t Number)
{
    char line[40];
    std::snprintf(line, sizeof line, "%s%.8zu\r\n", Label, Number);
    return line;
}

} // namespace

void THtmlViewer::SelectAllText()
{
    if (FDocument->Count() == 0 || FNoSelect)
        return;
    const TSectionBase& last = (*FDocument)[FDocument->Count() - 1];
    FDocument->SelStart = 0;
    FDocument->SelEnd = last.FirstChar + last.CharCount;
    FPaintPanel->update();
}

bool THtmlViewer::SearchText(u16v Text, bool MatchCase, bool Backwards)
{
    if (Text.empty())
        return false;
    const u16 pattern = MatchCase ? u16(Text) : LowerUnits(Text);
    const int p = Backwards ? FDocument->SearchBackward(FCaretPos, pattern, MatchCase)
                            : FDocument->SearchForward(FCaretPos, pattern, MatchCase);
    if (p < 0)
        return false;
    const int length = int(Text.size());
    FDocument->SelStart = p;
    FDocument->SelEnd = p + length;
    FCaretPos = Backwards ? p : p + length;
    // A match out of sight comes to the middle of the view; one already in sight leaves the view alone.
    int x = 0, y = 0;
    if (FDocument->CaretToPoint(&FMeasureCanvas, p, x, y)) {
        const int v = VScrollPos();
        if (y < v || y > v + height() - 20)
            SetVScrollPos(y - height() / 2);
        const int h = HScrollPos();
        if (x < h || x > h + width() - 50)
            SetHScrollPos(x - width() / 2);
    }
    FPaintPanel->update();
    return true;
}

u16 THtmlViewer::SelectionText() { return FDocument->SelectionText(); }

void THtmlViewer::CopyToClipboard()
{
    const int length = FDocument->SelectionLength();
    if (length <= 0)
        return;
    auto data = std::make_unique<QMimeData>();
    ClipBuffer::CopySelection(*FDocument, length + 1, *data);
    const std::string html = SelectionAsHtmlFragment();
    data->setData(QStringLiteral("text/html"), QByteArray(html.data(), qsizetype(html.size())));
    QGuiApplication::clipboard()->setMimeData(data.release());
}

// Source positions are byte offsets of the buffer; the fragment is cut in the decoded text, so each offset
// becomes the number of characters decoded before it. That holds for every code page, multi-byte ones and
// UTF-16 included.
std::string THtmlViewer::SelectionAsHtmlFragment()
{
    if (FDocument->SelStart >= FDocument->SelEnd)
        return {};
    u16 src = DocumentSource();
    const int startByte = FDocument->DocToSourcePos(FDocument->SelStart);
    const int endByte = FDocument->DocToSourcePos(FDocument->SelEnd);
    const auto charsBefore = [this](int Byte) {
        return FBuffer && Byte > 0 ? FBuffer->DecodeRange(0, Byte).size() : std::size_t(0);
    };
    const std::size_t s = std::min(charsBefore(startByte), src.size());
    std::size_t e = 0;
    if (endByte < 0) {
        if (!src.empty() && src.back() == u'>')
            src += u' ';
        e = src.size();
    } else {
        e = std::min(charsBefore(endByte), src.size());
    }

    u16 S = src.substr(0, std::max(e, s));
    CutTrailingMarkup(S, s);
    S.insert(s, StartFragmentMark);
    RemoveElements(S, u"<meta");
    RemoveElements(S, u"<!doctype");
    DisablePageBreaks(S);
    InsertDefaultStyle(S, FDefFontSize, FDefFontName);
    S = u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0 Transitional//EN\">\r\n" + S + u16(EndFragmentMark);

    std::string source;
    if (FCurrentPath.empty())
        source = "SourceURL:unsaved:///THtmlViewer.htm";
    else if (FCurrentPath.find(u"://") == u16::npos)
        source = "SourceURL:file://" + ToUtf8(FCurrentPath);
    else
        source = "SourceURL:" + ToUtf8(FCurrentPath);

    const std::string body = ToUtf8(S);
    const std::string startMark = ToUtf8(StartFragmentMark);
    const std::size_t fragmentStart = body.find(startMark) + startMark.size();
    const std::size_t fragmentEnd = body.rfind(ToUtf8(EndFragmentMark));
    // Every number has eight digits, so the header's length is known before its numbers are.
    const auto makeHeader = [&](std::size_t Size) {
        return "Version:1.0\r\n" + HeaderLine("StartHTML:", Size) + HeaderLine("EndHTML:", Size + body.size()) +
               HeaderLine("StartFragment:", Size + fragmentStart) + HeaderLine("EndFragment:", Size + fragmentEnd) +
               source + "\r\n";
    };
    const std::string header = makeHeader(makeHeader(0).size());
    return header + body;
}

} // namespace lantern
