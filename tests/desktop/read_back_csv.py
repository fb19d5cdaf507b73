"""A collection exported by quirebook-cli (the program's own ExportCsv) reads
back through Python's csv module as exactly the values stored.
usage: read_back_csv.py QUIREBOOK_CLI FOLDER"""
import csv, subprocess, sys

cli, ktl, out = sys.argv[1], sys.argv[2] + "/read_back.ktl", sys.argv[2] + "/read_back.csv"
records = [{1: b'Say "hi", then go', 2: b'""', 18: b"one\rtwo\r\nthree\nfour,"},
           {1: b"\xc9mile \xe0 la plage \xff", 3: b",", 10: b"-5", 19: b'C:\\a "b",\\c.txt'}]
blank = {8: "0", 9: "0", 10: "0", 12: "1", 13: "1", 14: "1", 15: "0", 16: "0"}
subprocess.run([cli, "new", ktl, "Read back"], check=True)
for fields in records:
    subprocess.run([cli, "add", ktl] + [b"%d=%s" % item for item in fields.items()],
                   check=True, stdout=subprocess.DEVNULL)
subprocess.run([cli, "export", ktl, out], check=True)
with open(out, newline="", encoding="latin-1") as exported:
    rows = [row for row in csv.reader(exported) if row]  # a free slot is an empty line
passed = sum(row == [fields.get(n, b"").decode("latin-1") or blank.get(n, "") for n in range(1, 20)]
             + [""] for row, fields in zip(rows, records)) if len(rows) == len(records) else 0
print(f"csv read back: {passed} passed, {len(records) - passed} failed")
sys.exit(passed != len(records))
