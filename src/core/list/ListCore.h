#pragma once

// Sort and tint state of a sortable list, kept apart from the widget so that the rules can
// be exercised without a window. Columns are zero-based here except in the signed sort
// column, which keeps the list's own encoding.
class ListCore {
public:
    struct Rgb {
        int red = 0;
        int green = 0;
        int blue = 0;
        friend bool operator==(const Rgb&, const Rgb&) = default;
    };

    enum class Mark { None, Up, Down };

    // 0 = no sort column; k > 0 = column k - 1 ascending; k < 0 = column -k - 1 descending.
    int SortColumn() const { return sortColumn; }
    bool SortMarkOn() const { return sortMarkOn; }
    bool TintOn() const { return tintOn; }
    Rgb TintColour() const { return tintColour; }

    // Zero-based index of the sorted column, -1 when there is none.
    int SortedIndex() const;
    bool Ascending() const { return sortColumn > 0; }

    // column uses the signed encoding; 0 leaves the sort column as it is.
    void EnableSortMark(bool on, int column);

    // Switching on is refused on displays of 8 bits per pixel or fewer: nothing changes and
    // the result is false. Otherwise the tint is computed from the list's background.
    bool EnableSortTint(bool on, int column, int bitsPerPixel, Rgb background);

    // After a change of the system colours.
    void RecomputeTint(Rgb background) { tintColour = TintFor(background); }

    // A click on header column k: the same column flips direction, another one becomes the
    // ascending sort column. Returns the new signed sort column.
    int HeaderClick(int column);

    // What the header shows for a zero-based column.
    Mark MarkFor(int column) const;

    // Near-white backgrounds get a little darker, all others a little lighter.
    static Rgb TintFor(Rgb background);

private:
    int sortColumn = 0;
    bool sortMarkOn = false;
    bool tintOn = false;
    Rgb tintColour{};
};
