// Every cell's display text of a workbook as `tabulon dump --json` gives it
// beside SheetJS's (npm `xlsx`, its `w` field), one line per difference:
//   node compare_cells.js NODE_MODULES DUMP.json FILE.xls
// prints "agree N differ M" last. Cells SheetJS leaves without a text
// (blank, or a type it does not format) are not counted.
const [modules, dumpFile, xlsFile] = process.argv.slice(2);
const XLSX = require(modules + '/xlsx');
const fs = require('fs');
const ours = JSON.parse(fs.readFileSync(dumpFile, 'utf8'));
let wb;
try {
    wb = XLSX.readFile(xlsFile, {cellNF: true, cellDates: false});
} catch (e) {
    console.log('unreadable by SheetJS: ' + e.message);
    process.exit(0);
}
let agree = 0, differ = 0;
for (const sheet of ours.sheets || []) {
    const ws = wb.Sheets[sheet.name];
    if (!ws) continue;
    for (const cell of sheet.cells || []) {
        const c = ws[cell.address.replace(/\$/g, '')];
        if (!c || c.w === undefined) continue;
        if (c.w === cell.text) ++agree;
        else {
            ++differ;
            console.log(`${sheet.name}!${cell.address}\t${JSON.stringify(c.z || 'General')}\t${cell.value}\tours=${JSON.stringify(cell.text)}\tsheetjs=${JSON.stringify(c.w)}`);
        }
    }
}
console.log(`agree ${agree} differ ${differ}`);
