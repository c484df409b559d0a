#pragma once
// A DrawingML chart part (ECMA-376 Part 1, 21.2 DrawingML - Charts): the
// chart space's plot area with its chart groups and their series (names,
// category texts and values from the caches the part keeps), the axes, the
// title and the legend; colours resolved through the workbook's theme, and
// series without a colour of their own given the accent the spreadsheet
// gives them.
#include "host/model/Chart.h"

#include <QStringList>
#include <optional>

namespace tabulon::ooxml {

class Package;
struct Theme;

// Nothing when the part cannot be read at all; what a damaged part held up
// to the damage otherwise, with a warning.
std::optional<model::Chart> readChartPart(const Package& package, const QString& part, const Theme& theme,
                                          bool date1904, QStringList& warnings);

// The chart of XML in memory (tests, and parts read some other way).
model::Chart readChartXml(const QByteArray& xml, const Theme& theme, bool date1904);

}  // namespace tabulon::ooxml
