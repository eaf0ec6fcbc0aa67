#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

The seeds are scripts in the input format of fuzz_input.h: each describes a plausible
conversation (a scanner that answers, one that refuses, records with unknown time-stamp
fields, parameter lists), so that fuzzing starts from the roads that matter. Run it again
after changing the input format.
"""
import json
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent


def result(value):
    """A call's result: a signed byte, or 0x80 and a 32-bit value."""
    if -127 <= value <= 127:
        return struct.pack("<b", value)
    return b"\x80" + struct.pack("<i", value)


def chunk(data):
    """An output buffer's content: a length byte, then the bytes."""
    data = data.encode("latin-1") if isinstance(data, str) else bytes(data)
    return bytes([len(data)]) + data


def call(value=0, output=None):
    """One library call: its output buffer's content (if it has one), then its result."""
    return (b"" if output is None else chunk(output)) + result(value)


def empty_variant():
    return b"\x00"


def int16_variant(value):
    return b"\x02" + struct.pack("<h", value)


def text_variant(text):
    return b"\x07" + chunk(text)


# --- download: lastport, pdelimiter, then the scanner's answers to open_clicker --------

def record(code_type, barcode, stamp_text):
    """A csp2GetPacket answer and the csp2TimeStamp2Str answer for its time stamp."""
    body = bytes([code_type]) + barcode.encode("latin-1") + b"\x01\x02\x03\x04"
    packet = bytes([len(body)]) + body
    return call(0, packet) + call(0, stamp_text)


def open_clicker(records=(), refusals=(), status=0, clock=(30, 15, 9, 17, 5, 7),
                 version="ABCD1234", device_id=(0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF)):
    script = b"".join(call(r) for r in refusals)          # ports that do not open
    script += call(0) + call(len(records)) + call(status)  # csp2Init, ReadData, status
    if status < 0:
        return script + call(0)                            # csp2Restore of the rejected port
    script += call(0, device_id)
    script += b"".join(record(*r) for r in records)
    script += call(0) + call(0, clock) + call(0) + call(0)  # WakeUp, GetTime, PowerDown, Restore
    return script + call(0, version)                     # GetSwVersion


def download_seeds():
    example = [(28, "40012345", "02:30:15 PM    05/17/07"),
               (3, "8712345678906", "13:45:02       05/01/09")]
    unknown = [(11, "12345678", "14:30:63       05/17/07"),
               (11, "", "14:30:15       ??/17/07"),
               (11, "9", "09:05:00       13/05/07")]
    # Each seed answers open_clicker, then alldata and alldata2 (each a whole download).
    return {
        "two_records": int16_variant(0) + chunk("") + open_clicker(example) * 3,
        "port_search": (text_variant("7") + chunk("||") +
                        open_clicker((), refusals=(-1, -1, -4)) * 3),
        "rejected_port": (empty_variant() + chunk("") + open_clicker(status=-4) +
                          open_clicker(example)),
        "unknown_fields": (int16_variant(15) + chunk(";") +
                           open_clicker(unknown, clock=(255, 59, 23, 31, 12, 99))),
        "no_scanner": empty_variant() + chunk("") + call(-1) * 16,
        "port_999": int16_variant(999) + chunk("") + open_clicker(example),
    }


# --- housekeeping: lastport, pnewdatetime, newparams, cur_clicker_params, answers -------

def emptying(clock_attempts=(), clears=(0,)):
    script = call(0) + call(12) + call(0)                  # csp2Init, ReadData, status
    for accepted in clock_attempts:                         # WakeUp, SetTime, PowerDown
        script += call(0) + call(accepted) + call(0)
    for c in clears:                                        # ClearData; on refusal count, status
        script += call(c) + (b"" if c == 0 else call(12) + call(0))
    return script + call(0)                                # csp2Restore


def parameter_write():
    # Init, WakeUp, Interrogate, SetParam, PowerDown, Restore
    return call(0) * 6


def parameter_read(value):
    return call(0) * 3 + call(0, [value]) + call(0) * 2


def status(protocol=1):
    return (call(0) * 3 + call(protocol) + call(0x20) + call(0, "V1.2") + call(1) + call(0) +
            call(0) * 2)


def housekeeping_seeds():
    # Each seed answers EmptyScanner, then reset_params (emptying, csp2SetDefaults,
    # the writes), then showparams (the reads, the status).
    return {
        "clock_and_params": (int16_variant(3) + chunk("595923311299") +
                             text_variant("0201051203") + text_variant("03010512") +
                             emptying((0,)) + emptying((0,)) + call(0) + parameter_write() * 2 +
                             parameter_read(3) * 3 + status()),
        "refused_clock": (text_variant("3") + chunk("000509070304") + text_variant("00") +
                          text_variant("05") + emptying((-1, -1, 0)) +
                          emptying((-1,) * 5, (2, 2, 0)) + call(0) + status(-1)),
        "no_port": (empty_variant() + chunk("") + text_variant("030105") + text_variant("020105") +
                    parameter_read(7) + parameter_read(200) + status()),
        "opening_refused": (int16_variant(1) + chunk("000024290200") + text_variant(" 7 a") +
                            text_variant("") + call(-1) + call(-1) + status()),
    }


# --- texts: a decoding byte (bit 0: UTF-8), then the text ------------------------------

def texts_seeds():
    single_byte = ["14:30:15", "02:30:15 PM", "2:30 PM  ", "12:05 AM", "05/17/07",
                   "13/05/07", "??/17/07", " 7", "7a", "-2.5", "1.5E+3", "9.9e307", "1e-400", "",
                   "\xa0\x80\x9f"]
    utf8 = ["\u00e9t\u00e9 12:00", "\U0001f600", "\u0661\u0662"]
    seeds = {f"single_byte_{i}": b"\x00" + t.encode("latin-1") for i, t in enumerate(single_byte)}
    seeds.update({f"utf8_{i}": b"\x01" + t.encode("utf-8") for i, t in enumerate(utf8)})
    seeds["utf8_malformed"] = b"\x01\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80abc"
    return seeds


# --- device_file: the simulated scanner's JSON device files -----------------------------

def device_file_seeds():
    full = {
        "port": 3, "id": "104A007E2391C50B", "version": "SIM 2.10",
        "clock": [5, 20, 16, 4, 5, 9], "running_clock": False,
        "barcodes": [
            {"type": 22, "text": "4006381333931", "time": "2009-05-01T09:12:44"},
            {"type": 3, "text_hex": "41FF00", "stamp": "FFFFFFFF"},
        ],
        "parameters": {"5": 30, "12": 0},
        "script": [
            {"call": "csp2ClearData", "occurrence": 3, "result": 2},
            {"call": "csp2Init", "port": 0, "result": -4},
            {"call": "csp2GetTime", "result": 0, "bytes": "FF0F09110507"},
            {"call": "csp2GetParam", "parameter": 27, "result": 0, "bytes": "01"},
        ],
    }
    return {
        "full": json.dumps(full, indent=2).encode(),
        "empty": b"{}",
        "erased": json.dumps({"port": 0, "barcodes": [], "clock": [255, 0, 0, 0, 0, 0]}).encode(),
        "leap_day": json.dumps({"barcodes": [{"type": 0, "text": "\u00e9",
                                              "time": "2060-02-29T23:59:59"}]}).encode(),
        "misspelt": b'{"prot": 3}',
    }


# --- command_line: the words of a clicker command line, NUL bytes between them -----------

def command_line_seeds():
    lines = {
        "download_csv": ["download", "--format", "csv", "--delimiter", ";", "--port", "3"],
        "download_everything": ["--log", "download", "--output", "out.txt", "--append",
                                "--empty", "--set-clock=now", "--wait=10", "--delimiter", "||"],
        "download_jsonl": ["download", "--format=jsonl", "--port", "0"],
        "empty_iso_clock": ["empty", "--set-clock", "2024-02-29T23:59:59", "--port=32767"],
        "empty_scanner_clock": ["empty", "--set-clock=000024290200"],
        "params_show": ["params", "show", "--format", "raw", "1", "5", "99"],
        "params_reset": ["params", "reset", "1=5", "12=03", "--log"],
        "help_topic": ["params", "reset", "--help"],
        "version": ["-h", "--version"],
        "refused": ["download", "--format", "json", "--append", "--output=x", "-1"],
        "double_dash": ["--port", "3", "params", "show", "--", "-1", "--log"],
        "csv_code_point": ["download", "--format=csv", "--delimiter", "\u20ac"],
        "params_help": ["params", "--help"],
        "collect_everything": ["collect", "--station", "desk-1", "--poll=5", "--outbox", "out",
                               "--format", "jsonl", "--exec", "true", "--set-clock", "now",
                               "--once", "--wait", "10", "--store", "sqlite:scans.db", "--port", "3"],
        "batches_chosen": ["batches", "--since", "2024-05-15", "--scanner", "00aB000000000001"],
        "export_batch": ["export", "--batch", "7", "--format=json", "--output", "x.json"],
        "export_since": ["export", "--since=2024-05-15T09:30:00", "--store", "postgresql:///scans"],
        "store_init": ["store", "init", "--store", "sqlite:scans.db"],
    }
    return {name: "\0".join(words).encode() for name, words in lines.items()}


# --- state_file: the remembered-port file ------------------------------------------------

def state_file_seeds():
    return {
        "port": b'{"port": 3}\n',
        "largest_port": b'{"port":32767}',
        "beyond_16_bits": b'{"port": 32768}',
        "negative": b'{"port": -1}',
        "fraction": b'{"port": 3.0}',
        "text": b'{"port": "3"}',
        "other_keys": b'{"version": 2, "port": 0, "extra": [null, {"port": 1}]}',
        "not_an_object": b"[3]",
        "truncated": b'{"port": 3',
        "empty": b"",
    }


def main():
    for target, seeds in (("download", download_seeds()), ("housekeeping", housekeeping_seeds()),
                          ("texts", texts_seeds()), ("device_file", device_file_seeds()),
                          ("command_line", command_line_seeds()),
                          ("state_file", state_file_seeds())):
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, content in seeds.items():
            (folder / name).write_bytes(content)


if __name__ == "__main__":
    main()
