#include "table/row_conversion.h"

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

void ConvertTable(const RowConversion& convert, const PointTable& source, PointTable& result) {
    result.SetRowCount(source.RowCount());
    for (int row = 1; row < source.RowCount(); ++row) convert(source.Row(row), result.Row(row));
}

RowConversion PlaneRowConversion(const PointConversion& conversion) {
    return [conversion](const std::string* source_row, std::string* result) {
        const long double x = TextToNumber(source_row[1]);
        const long double y = TextToNumber(source_row[2]);
        const PointXYH p = conversion.Convert(x, y, 0);
        RaiseFloatingPointErrors();
        result[0] = source_row[0];
        result[1] = FormatFixed(p.x, 4);
        result[2] = FormatFixed(p.y, 4);
    };
}

RowConversion GeodeticToPlaneRowConversion(const PointConversion& conversion) {
    return [conversion](const std::string* source_row, std::string* result) {
        const long double latitude = DmsTextToDegrees(source_row[1]);
        const long double longitude = DmsTextToDegrees(source_row[2]);
        const PointXYH p = conversion.Convert(latitude, longitude, 0);
        RaiseFloatingPointErrors();
        result[0] = source_row[0];
        result[1] = FormatFixed(p.x, 4);
        result[2] = FormatFixed(p.y, 4);
    };
}

RowConversion PlaneToGeodeticRowConversion(const PointConversion& conversion) {
    return [conversion](const std::string* source_row, std::string* result) {
        const long double x = TextToNumber(source_row[1]);
        const long double y = TextToNumber(source_row[2]);
        const PointXYH g = conversion.Convert(x, y, 0);
        const PackedDmsCells cells = PackedDmsCellsOf(g.x, g.y);
        result[0] = source_row[0];
        result[1] = cells.latitude;
        result[2] = cells.longitude;
    };
}

}  // namespace coordconv
