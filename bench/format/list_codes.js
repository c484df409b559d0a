// Lists the number format codes a set of .xls workbooks use, one a line,
// read with SheetJS. Run with NODE_PATH pointing at a node_modules holding
// "xlsx". Unreadable workbooks are skipped.
const XLSX = require('xlsx');
const codes = new Set();
for (const file of process.argv.slice(2)) {
    let wb;
    try {
        wb = XLSX.readFile(file, {cellNF: true});
    } catch (e) {
        continue;
    }
    for (const name of wb.SheetNames) {
        const ws = wb.Sheets[name];
        for (const key of Object.keys(ws))
            if (key[0] !== '!' && typeof ws[key].z === 'string') codes.add(ws[key].z);
    }
    // Codes the workbook defines, used or not (FORMAT records).
    for (const [key, code] of Object.entries(wb.SSF || {}))
        if (typeof code === 'string' && Number(key) >= 164) codes.add(code);
}
process.stdout.write([...codes].filter(c => !c.includes('\t') && !c.includes('\n')).join('\n') + '\n');
