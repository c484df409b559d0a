// Lists the number format codes a set of .xls workbooks use, one a line,
// read with SheetJS; with --cells, every formatted cell instead, as
// "code<TAB>value" lines (text values as "s:text"), the table format_table
// reads. Run with NODE_PATH pointing at a node_modules holding "xlsx".
// Unreadable workbooks and those counting dates from 1904 are skipped.
const XLSX = require('xlsx');
const cells = process.argv[2] === '--cells';
const files = process.argv.slice(cells ? 3 : 2);
const lines = new Set();
for (const file of files) {
    let wb;
    try {
        wb = XLSX.readFile(file, {cellNF: true});
    } catch (e) {
        continue;
    }
    if (cells && wb.Workbook && wb.Workbook.WBProps && wb.Workbook.WBProps.date1904) continue;
    for (const name of wb.SheetNames) {
        const ws = wb.Sheets[name];
        for (const key of Object.keys(ws)) {
            const cell = ws[key];
            if (key[0] === '!' || typeof cell.z !== 'string') continue;
            if (!cells) lines.add(cell.z);
            else if (cell.t === 'n') lines.add(cell.z + '\t' + cell.v);
            else if (cell.t === 's' && cell.z !== 'General') lines.add(cell.z + '\t' + 's:' + cell.v);
        }
    }
    // Codes the workbook defines, used or not (FORMAT records).
    if (!cells)
        for (const [key, code] of Object.entries(wb.SSF || {}))
            if (typeof code === 'string' && Number(key) >= 164) lines.add(code);
}
const clean = [...lines].filter(l => !l.includes('\n') && l.split('\t').length <= 2);
process.stdout.write(clean.join('\n') + '\n');
