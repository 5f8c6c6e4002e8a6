#include "grid/CGridModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <malloc.h>

namespace {
// Row text block: uint32 count, uint32 end offset per column, then the texts back to back.
uint32_t BlockCount(const char* b) {
    uint32_t n;
    std::memcpy(&n, b, 4);
    return n;
}
uint32_t* Ends(char* b) {
    return reinterpret_cast<uint32_t*>(b + 4);
}
const uint32_t* Ends(const char* b) {
    return reinterpret_cast<const uint32_t*>(b + 4);
}
char* Texts(char* b) {
    return b + 4 + 4 * size_t(BlockCount(b));
}
const char* Texts(const char* b) {
    return b + 4 + 4 * size_t(BlockCount(b));
}
uint32_t TotalText(const char* b) {
    const uint32_t n = BlockCount(b);
    return n ? Ends(b)[n - 1] : 0;
}

size_t BlockSize(const char* b) {
    return 4 + 4 * size_t(BlockCount(b)) + TotalText(b);
}

// A new block with `count` columns holding the first min(count, old count) texts of `old`, with
// room for at least `capacity` bytes in all.
char* Rebuild(const char* old, uint32_t count, size_t capacity = 0) {
    const uint32_t oldCount = old ? BlockCount(old) : 0;
    const uint32_t kept = std::min(count, oldCount);
    const uint32_t bytes = kept ? Ends(old)[kept - 1] : 0;
    char* b = static_cast<char*>(std::malloc(std::max(capacity, 4 + 4 * size_t(count) + bytes)));
    if (!b)
        return nullptr;
    std::memcpy(b, &count, 4);
    uint32_t* ends = Ends(b);
    for (uint32_t j = 0; j < count; ++j)
        ends[j] = j < kept ? Ends(old)[j] : bytes;
    if (bytes)
        std::memcpy(Texts(b), Texts(old), bytes);
    return b;
}

// A number as a text holds it: exact digits for a plain decimal, else the parsed value.
struct Number {
    bool plain = false;
    bool negative = false;
    std::string_view whole;    // digits before the point, without leading zeros
    std::string_view fraction; // digits after the point, without trailing zeros
    double value = 0;
};

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool ToDouble(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

std::optional<Number> ParseNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    Number n;
    std::string_view rest = text;
    if (rest.front() == '-' || rest.front() == '+') {
        n.negative = rest.front() == '-';
        rest.remove_prefix(1);
    }
    size_t i = 0;
    while (i < rest.size() && IsDigit(rest[i]))
        ++i;
    size_t j = i;
    if (j < rest.size() && rest[j] == '.')
        for (++j; j < rest.size() && IsDigit(rest[j]);)
            ++j;
    if (j == rest.size() && j > 0 && !(j == 1 && rest[0] == '.')) {
        n.plain = true;
        n.whole = rest.substr(0, i);
        while (!n.whole.empty() && n.whole.front() == '0')
            n.whole.remove_prefix(1);
        n.fraction = i < rest.size() ? rest.substr(i + 1) : std::string_view();
        while (!n.fraction.empty() && n.fraction.back() == '0')
            n.fraction.remove_suffix(1);
        if (n.whole.empty() && n.fraction.empty())
            n.negative = false; // -0 is 0
        return n;
    }
    // Exponents and the like: the value, read independently of the locale.
    if (!ToDouble(text, n.value) || std::isnan(n.value))
        return std::nullopt;
    return n;
}

int CompareMagnitude(const Number& a, const Number& b) {
    if (a.whole.size() != b.whole.size())
        return a.whole.size() < b.whole.size() ? -1 : 1;
    if (const int c = a.whole.compare(b.whole); c != 0)
        return c < 0 ? -1 : 1;
    const int c = a.fraction.compare(b.fraction);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CompareNumbers(const Number& a, const Number& b) {
    if (!a.plain || !b.plain) {
        auto value = [](const Number& n) {
            if (!n.plain)
                return n.value;
            double v = 0;
            ToDouble((n.negative ? "-" : "") + std::string(n.whole) + "." + std::string(n.fraction) + "0", v);
            return v;
        };
        const double x = value(a), y = value(b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.negative != b.negative)
        return a.negative ? -1 : 1;
    const int c = CompareMagnitude(a, b);
    return a.negative ? -c : c;
}
} // namespace

int CGridModel::CompareByValue(std::string_view a, std::string_view b) {
    const std::optional<Number> x = ParseNumber(a), y = ParseNumber(b);
    if (x && y)
        return CompareNumbers(*x, *y);
    if (x || y)
        return x ? 1 : -1;
    return a < b ? -1 : a > b ? 1 : 0;
}

CGridModel::CGridModel() = default;
CGridModel::~CGridModel() = default;

bool CGridModel::SetRowCount(int rows) {
    if (rows < 0)
        return false;
    if (rows == GetRowCount())
        return true;
    const bool shrinking = rows < GetRowCount();
    m_Rows.resize(size_t(rows));
    m_RowHeights.resize(size_t(rows), m_nDefRowHeight);
    m_nFixedRows = std::min(m_nFixedRows, rows);
    if (shrinking) {
        ClipToGrid();
        OnRowsChanged();
    }
    return true;
}

bool CGridModel::SetColumnCount(int cols) {
    if (cols < 0)
        return false;
    if (cols == m_nCols)
        return true;
    if (cols < m_nCols) {
        for (Row& row : m_Rows)
            TruncateColumns(row, cols);
    }
    m_nCols = cols;
    m_ColWidths.resize(size_t(cols), m_nDefColWidth);
    m_ColTips.resize(size_t(cols));
    m_nFixedCols = std::min(m_nFixedCols, cols);
    if (m_nSortColumn >= cols)
        m_nSortColumn = -1;
    ClipToGrid();
    return true;
}

bool CGridModel::SetFixedRowCount(int rows) {
    if (rows < 0)
        return false;
    if (rows > GetRowCount())
        SetRowCount(rows);
    m_nFixedRows = rows;
    return true;
}

bool CGridModel::SetFixedColumnCount(int cols) {
    if (cols < 0)
        return false;
    if (cols > m_nCols)
        SetColumnCount(cols);
    m_nFixedCols = cols;
    return true;
}

void CGridModel::ShrinkToFit(Row& row) {
    char* b = row.text.get();
    if (!b)
        return;
    const size_t size = BlockSize(b);
    if (malloc_usable_size(b) < size + 64)
        return;
    if (char* nb = static_cast<char*>(std::realloc(b, size))) {
        row.text.release();
        row.text.reset(nb);
    }
}

int CGridModel::InsertRow(std::string_view heading, int before) {
    if (m_nCols < 1)
        SetColumnCount(1);
    int row = before;
    if (row < 0 || row >= GetRowCount()) {
        row = GetRowCount();
        // The row before is finished: give back its spare room and learn its size.
        if (row > 0 && m_Rows.back().text) {
            ShrinkToFit(m_Rows.back());
            m_nBlockHint = BlockSize(m_Rows.back().text.get()) + 16;
        }
        m_Rows.emplace_back();
        m_RowHeights.push_back(m_nDefRowHeight);
    } else {
        m_Rows.insert(m_Rows.begin() + row, Row());
        m_RowHeights.insert(m_RowHeights.begin() + row, m_nDefRowHeight);
        m_Selection.Clear();
        m_FocusCell = CCellID();
        OnRowsChanged();
    }
    SetItemText(row, 0, heading);
    return row;
}

bool CGridModel::DeleteRow(int row) {
    if (row < 0 || row >= GetRowCount())
        return false;
    m_Rows.erase(m_Rows.begin() + row);
    m_RowHeights.erase(m_RowHeights.begin() + row);
    if (row < m_nFixedRows)
        --m_nFixedRows;
    m_Selection.Clear();
    m_FocusCell = CCellID();
    OnRowsChanged();
    return true;
}

void CGridModel::DeleteAllItems() {
    std::vector<Row>().swap(m_Rows);
    std::vector<int>().swap(m_RowHeights);
    std::vector<int>().swap(m_ColWidths);
    std::vector<CString>().swap(m_ColTips);
    m_nCols = m_nFixedRows = m_nFixedCols = 0;
    m_Selection.Clear();
    m_FocusCell = CCellID();
    m_nSortColumn = -1;
    OnRowsChanged();
}

void CGridModel::SwapRows(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= GetRowCount() || b >= GetRowCount())
        return;
    std::swap(m_Rows[size_t(a)], m_Rows[size_t(b)]);
    std::swap(m_RowHeights[size_t(a)], m_RowHeights[size_t(b)]);
}

std::string_view CGridModel::TextView(int row, int col) const {
    if (!IsValid(row, col))
        return {};
    const char* b = m_Rows[size_t(row)].text.get();
    if (!b || uint32_t(col) >= BlockCount(b))
        return {};
    const uint32_t* ends = Ends(b);
    const uint32_t start = col ? ends[col - 1] : 0;
    return {Texts(b) + start, ends[col] - start};
}

std::string_view CGridModel::RowText(int row) const {
    if (row < 0 || row >= GetRowCount() || !m_Rows[size_t(row)].text)
        return {};
    const char* b = m_Rows[size_t(row)].text.get();
    return {Texts(b), TotalText(b)};
}

bool CGridModel::SetItemText(int row, int col, std::string_view text) {
    if (!IsValid(row, col))
        return false;
    Row& r = m_Rows[size_t(row)];
    char* b = r.text.get();
    // A text taken from this very row would move under our feet.
    if (b && !text.empty() && text.data() >= b &&
        text.data() < b + 4 + 4 * size_t(BlockCount(b)) + TotalText(b)) {
        const CString copy(text);
        return SetItemText(row, col, copy);
    }
    if (!b) {
        if (text.empty())
            return true;
        // Rows of one result are alike: room for as much as the last finished row needs saves
        // growing the block cell by cell.
        b = Rebuild(nullptr, uint32_t(m_nCols), m_nBlockHint);
        if (!b)
            return false;
        r.text.reset(b);
    } else if (uint32_t(col) >= BlockCount(b)) {
        if (text.empty())
            return true;
        char* grown = Rebuild(b, uint32_t(m_nCols));
        if (!grown)
            return false;
        r.text.reset(grown);
        b = grown;
    }
    const uint32_t count = BlockCount(b);
    const uint32_t total = TotalText(b);
    const uint32_t start = col ? Ends(b)[col - 1] : 0;
    const uint32_t oldLen = Ends(b)[col] - start;
    const size_t newLen = text.size();
    if (total - oldLen + newLen > std::numeric_limits<uint32_t>::max() - 4 - 4 * size_t(count))
        return false;
    const size_t head = 4 + 4 * size_t(count);
    const size_t tail = total - (start + oldLen);
    if (newLen > oldLen) {
        const size_t needed = head + total - oldLen + newLen;
        if (needed > malloc_usable_size(b)) {
            char* nb = static_cast<char*>(std::realloc(b, needed + needed / 4));
            if (!nb)
                return false;
            r.text.release();
            r.text.reset(nb);
            b = nb;
        }
        char* t = Texts(b);
        std::memmove(t + start + newLen, t + start + oldLen, tail);
        std::memcpy(t + start, text.data(), newLen);
    } else if (newLen < oldLen) {
        char* t = Texts(b);
        std::memcpy(t + start, text.data(), newLen);
        std::memmove(t + start + newLen, t + start + oldLen, tail);
        ShrinkToFit(r);
        b = r.text.get();
    } else if (newLen) {
        std::memcpy(Texts(b) + start, text.data(), newLen);
    }
    const int64_t delta = int64_t(newLen) - int64_t(oldLen);
    uint32_t* ends = Ends(b);
    for (uint32_t j = uint32_t(col); j < count; ++j)
        ends[j] = uint32_t(int64_t(ends[j]) + delta);
    return true;
}

void CGridModel::TruncateColumns(Row& row, int cols) {
    if (row.text && BlockCount(row.text.get()) > uint32_t(cols)) {
        if (cols == 0)
            row.text.reset();
        else if (char* b = Rebuild(row.text.get(), uint32_t(cols)))
            row.text.reset(b);
    }
    if (row.attr) {
        auto& cells = row.attr->cells;
        cells.erase(
            std::remove_if(cells.begin(), cells.end(), [&](const auto& p) { return p.first >= cols; }),
            cells.end());
        if (cells.empty())
            row.attr.reset();
    }
}

void CGridModel::ClipToGrid() {
    m_Selection.Clip(GetCellRange());
    if (!IsValid(m_FocusCell.row, m_FocusCell.col))
        m_FocusCell = CCellID();
}

const CGridCellBase* CGridModel::Attributes(int row, int col) const {
    if (!IsValid(row, col))
        return nullptr;
    const RowAttributes* a = m_Rows[size_t(row)].attr.get();
    if (!a)
        return nullptr;
    auto it = std::lower_bound(a->cells.begin(), a->cells.end(), col,
                               [](const auto& p, int c) { return p.first < c; });
    return it != a->cells.end() && it->first == col ? &it->second : nullptr;
}

CGridCellBase* CGridModel::EditAttributes(int row, int col) {
    if (!IsValid(row, col))
        return nullptr;
    Row& r = m_Rows[size_t(row)];
    if (!r.attr)
        r.attr = std::make_unique<RowAttributes>();
    auto& cells = r.attr->cells;
    auto it =
        std::lower_bound(cells.begin(), cells.end(), col, [](const auto& p, int c) { return p.first < c; });
    if (it == cells.end() || it->first != col)
        it = cells.insert(it, {col, CGridCellBase(kCommonFormat)});
    return &it->second;
}

void CGridModel::ReleaseIfDefault(int row, int col) {
    Row& r = m_Rows[size_t(row)];
    if (!r.attr)
        return;
    auto& cells = r.attr->cells;
    auto it =
        std::lower_bound(cells.begin(), cells.end(), col, [](const auto& p, int c) { return p.first < c; });
    if (it != cells.end() && it->first == col && it->second.IsDefault(kCommonFormat))
        cells.erase(it);
    if (cells.empty())
        r.attr.reset();
}

// Changes one attribute, creating the cell's attribute record only when the value differs.
#define GRID_SET_ATTR(member, value, defaultValue)                                                           \
    do {                                                                                                     \
        if (!IsValid(row, col))                                                                              \
            return false;                                                                                    \
        const CGridCellBase* cur = Attributes(row, col);                                                     \
        if ((cur ? cur->member : (defaultValue)) == (value))                                                 \
            return true;                                                                                     \
        EditAttributes(row, col)->member = (value);                                                          \
        ReleaseIfDefault(row, col);                                                                          \
        return true;                                                                                         \
    } while (0)

unsigned CGridModel::GetItemFormat(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a ? a->m_nFormat : kCommonFormat;
}
bool CGridModel::SetItemFormat(int row, int col, unsigned format) {
    GRID_SET_ATTR(m_nFormat, format, kCommonFormat);
}

unsigned CGridModel::GetItemState(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    unsigned state = a ? a->m_nState : 0;
    if (m_Selection.Contains(row, col))
        state |= GVIS_SELECTED;
    if (m_FocusCell == CCellID(row, col))
        state |= GVIS_FOCUSED;
    if (row < m_nFixedRows || col < m_nFixedCols)
        state |= GVIS_FIXED;
    return state;
}
bool CGridModel::SetItemState(int row, int col, unsigned state) {
    if (!IsValid(row, col))
        return false;
    if (state & GVIS_SELECTED)
        m_Selection.Add(CCellRange(row, col, row, col));
    else
        m_Selection.Remove(CCellRange(row, col, row, col));
    if (state & GVIS_FOCUSED)
        m_FocusCell = CCellID(row, col);
    else if (m_FocusCell == CCellID(row, col))
        m_FocusCell = CCellID();
    const unsigned stored = state & ~(GVIS_SELECTED | GVIS_FOCUSED | GVIS_FIXED);
    GRID_SET_ATTR(m_nState, stored, 0u);
}

int CGridModel::GetItemImage(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a ? a->m_nImage : -1;
}
bool CGridModel::SetItemImage(int row, int col, int image) {
    GRID_SET_ATTR(m_nImage, image, -1);
}

uint32_t CGridModel::GetItemData(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a ? a->m_lParam : 0;
}
bool CGridModel::SetItemData(int row, int col, uint32_t data) {
    GRID_SET_ATTR(m_lParam, data, 0u);
}

uint32_t CGridModel::GetItemBkColour(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a ? a->m_crBkClr : CLR_DEFAULT;
}
bool CGridModel::SetItemBkColour(int row, int col, uint32_t colour) {
    GRID_SET_ATTR(m_crBkClr, colour, CLR_DEFAULT);
}

uint32_t CGridModel::GetItemFgColour(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a ? a->m_crFgClr : CLR_DEFAULT;
}
bool CGridModel::SetItemFgColour(int row, int col, uint32_t colour) {
    GRID_SET_ATTR(m_crFgClr, colour, CLR_DEFAULT);
}

const CFontDesc* CGridModel::GetItemFont(int row, int col) const {
    const CGridCellBase* a = Attributes(row, col);
    return a && a->m_Font ? &*a->m_Font : nullptr;
}
bool CGridModel::SetItemFont(int row, int col, std::optional<CFontDesc> font) {
    GRID_SET_ATTR(m_Font, font, std::optional<CFontDesc>());
}
#undef GRID_SET_ATTR

bool CGridModel::SetItem(const _GV_ITEM& item) {
    const int row = item.row, col = item.col;
    if (!IsValid(row, col))
        return false;
    bool ok = true;
    if (item.mask & GVIF_TEXT)
        ok = SetItemText(row, col, item.szText) && ok;
    if (item.mask & GVIF_FORMAT)
        ok = SetItemFormat(row, col, item.nFormat) && ok;
    if (item.mask & GVIF_STATE)
        ok = SetItemState(row, col, item.state) && ok;
    if (item.mask & GVIF_IMAGE)
        ok = SetItemImage(row, col, item.iImage) && ok;
    if (item.mask & GVIF_PARAM)
        ok = SetItemData(row, col, item.lParam) && ok;
    if (item.mask & GVIF_BKCLR)
        ok = SetItemBkColour(row, col, item.crBkClr) && ok;
    if (item.mask & GVIF_FGCLR)
        ok = SetItemFgColour(row, col, item.crFgClr) && ok;
    if (item.mask & GVIF_FONT)
        ok = SetItemFont(row, col, item.font) && ok;
    return ok;
}

bool CGridModel::GetItem(_GV_ITEM& item) const {
    const int row = item.row, col = item.col;
    if (!IsValid(row, col))
        return false;
    if (item.mask & GVIF_TEXT)
        item.szText = GetItemText(row, col);
    if (item.mask & GVIF_FORMAT)
        item.nFormat = GetItemFormat(row, col);
    if (item.mask & GVIF_STATE)
        item.state = GetItemState(row, col);
    if (item.mask & GVIF_IMAGE)
        item.iImage = GetItemImage(row, col);
    if (item.mask & GVIF_PARAM)
        item.lParam = GetItemData(row, col);
    if (item.mask & GVIF_BKCLR)
        item.crBkClr = GetItemBkColour(row, col);
    if (item.mask & GVIF_FGCLR)
        item.crFgClr = GetItemFgColour(row, col);
    if (item.mask & GVIF_FONT) {
        const CFontDesc* f = GetItemFont(row, col);
        item.font = f ? std::optional<CFontDesc>(*f) : std::nullopt;
    }
    return true;
}

CGridCell CGridModel::GetCell(int row, int col) const {
    CGridCell cell(kCommonFormat);
    if (const CGridCellBase* a = Attributes(row, col))
        static_cast<CGridCellBase&>(cell) = *a;
    cell.m_nState = GetItemState(row, col);
    cell.m_strText = GetItemText(row, col);
    return cell;
}

int CGridModel::GetRowHeight(int row) const {
    return row >= 0 && row < GetRowCount() ? m_RowHeights[size_t(row)] : 0;
}
bool CGridModel::SetRowHeight(int row, int height) {
    if (row < 0 || row >= GetRowCount() || height < 0)
        return false;
    m_RowHeights[size_t(row)] = height;
    return true;
}
int CGridModel::GetColumnWidth(int col) const {
    return col >= 0 && col < m_nCols ? m_ColWidths[size_t(col)] : 0;
}
bool CGridModel::SetColumnWidth(int col, int width) {
    if (col < 0 || col >= m_nCols || width < 0)
        return false;
    m_ColWidths[size_t(col)] = width;
    return true;
}
void CGridModel::SetDefaultCellSize(int width, int height) {
    m_nDefColWidth = std::max(0, width);
    m_nDefRowHeight = std::max(0, height);
}

CCellRange CGridModel::GetSelectedCellRange() const {
    if (m_Selection.IsEmpty())
        return {GetRowCount(), m_nCols, -1, -1};
    return m_Selection.Bounds();
}

template <class Less> void CGridModel::QuickSort(int col, int low, int high, Less less) {
    // The recursion of the quicksort, kept on a heap stack; the two parts of a partition are
    // disjoint, so the order in which they are sorted doesn't change the outcome.
    std::vector<std::pair<int, int>> pending{{low, high}};
    CString partition;
    while (!pending.empty()) {
        const auto [lo0, hi0] = pending.back();
        pending.pop_back();
        if (lo0 >= hi0)
            continue;
        partition = TextView((lo0 + hi0) / 2, col);
        const std::string_view pivot(partition);
        int lo = lo0, hi = hi0;
        while (lo <= hi) {
            while (lo < hi0 && less(TextView(lo, col), pivot))
                ++lo;
            while (hi > lo0 && less(pivot, TextView(hi, col)))
                --hi;
            if (lo <= hi) {
                const std::string_view a = TextView(lo, col), b = TextView(hi, col);
                if (less(a, b) || less(b, a))
                    SwapRows(lo, hi);
                ++lo;
                --hi;
            }
        }
        if (lo0 < hi)
            pending.emplace_back(lo0, hi);
        if (lo < hi0)
            pending.emplace_back(lo, hi0);
    }
}

void CGridModel::SortTextItems(int col, bool ascending, int low, int high) {
    if (col < 0 || col >= m_nCols)
        return;
    low = std::max(low, 0);
    high = std::min(high, GetRowCount() - 1);
    if (SortsByValue(col)) {
        if (ascending)
            QuickSort(col, low, high,
                      [](std::string_view a, std::string_view b) { return CompareByValue(a, b) < 0; });
        else
            QuickSort(col, low, high,
                      [](std::string_view a, std::string_view b) { return CompareByValue(a, b) > 0; });
    } else if (ascending) {
        QuickSort(col, low, high, [](std::string_view a, std::string_view b) { return a < b; });
    } else {
        QuickSort(col, low, high, [](std::string_view a, std::string_view b) { return a > b; });
    }
}

bool CGridModel::SortTextItems(int col, bool ascending) {
    if (col < 0 || col >= m_nCols)
        return false;
    m_nSortColumn = col;
    m_bSortAscending = ascending;
    SortTextItems(col, ascending, m_nFixedRows, GetRowCount() - 1);
    OnRowsChanged();
    return true;
}

CString CGridModel::SelectedText() const {
    if (m_Selection.IsEmpty())
        return {};
    const CCellRange range = m_Selection.Bounds();
    CString out;
    bool firstRow = true;
    for (int row = range.minRow; row <= range.maxRow; ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        if (!firstRow)
            out += "\r\n";
        firstRow = false;
        bool firstCol = true;
        for (int col = range.minCol; col <= range.maxCol; ++col) {
            if (GetColumnWidth(col) <= 0)
                continue;
            if (!firstCol)
                out += '\t';
            firstCol = false;
            if (m_Selection.Contains(row, col))
                out += TextView(row, col);
        }
    }
    return out;
}

void CGridModel::SetColTip(int col, const CString& tip) {
    if (col >= 0 && col < m_nCols)
        m_ColTips[size_t(col)] = tip;
}
CString CGridModel::GetColTip(int col) const {
    return col >= 0 && col < m_nCols ? m_ColTips[size_t(col)] : CString();
}

size_t CGridModel::TextBytes() const {
    size_t n = 0;
    for (const Row& r : m_Rows)
        if (r.text)
            n += TotalText(r.text.get());
    return n;
}

void CGridModel::SwapContent(CGridModel& other) {
    std::swap(m_Rows, other.m_Rows);
    std::swap(m_RowHeights, other.m_RowHeights);
    std::swap(m_ColWidths, other.m_ColWidths);
    std::swap(m_ColTips, other.m_ColTips);
    std::swap(m_nCols, other.m_nCols);
    std::swap(m_nFixedRows, other.m_nFixedRows);
    std::swap(m_nFixedCols, other.m_nFixedCols);
    std::swap(m_nDefRowHeight, other.m_nDefRowHeight);
    std::swap(m_nDefColWidth, other.m_nDefColWidth);
    std::swap(m_nBlockHint, other.m_nBlockHint);
    std::swap(m_Selection, other.m_Selection);
    std::swap(m_FocusCell, other.m_FocusCell);
    std::swap(m_nSortColumn, other.m_nSortColumn);
    std::swap(m_bSortAscending, other.m_bSortAscending);
}
