#include "table/row_conversion.h"

namespace coordconv {

void ConvertTable(const RowConversion& convert, const PointTable& source, PointTable& result) {
    result.SetRowCount(source.RowCount());
    for (int row = 1; row < source.RowCount(); ++row) convert(source.Row(row), result.Row(row));
}

}  // namespace coordconv
