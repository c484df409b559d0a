// Formats the table format_table reads with SheetJS's formatter (SSF), same
// output shape. Run with NODE_PATH pointing at a node_modules holding "ssf".
const SSF = require('ssf');
const lines = require('fs').readFileSync(0, 'utf8').split('\n');
const out = [];
for (const line of lines) {
    const tab = line.lastIndexOf('\t');
    if (tab < 0) continue;
    const code = line.slice(0, tab), value = line.slice(tab + 1);
    let text;
    try {
        text = SSF.format(code, value.startsWith('s:') ? value.slice(2) : Number(value));
    } catch (e) {
        text = 'ERROR ' + e.message;
    }
    out.push(code + '|' + value + '|' + String(text).replace(/\n/g, ' '));
}
process.stdout.write(out.join('\n') + '\n');
