// VKDClicker.Clicker as a JScript host uses it, against the simulated scanner of
// devices/second_scanner.json: port 7, a version of two characters, a clock whose first
// byte is 255, barcodes with NUL characters, an empty text, a delimiter inside and an
// unknown time stamp, and scripted refusals of the first two clock settings and of the
// first clear command.
//
// Wine 8's JScript cannot take a date from a COM object (E_NOTIMPL), so stime is left to
// the VBScript suite and the C++ client. The last line is the result line the harness
// reads; the exit code is the failure count.
var passed = 0;
var failed = 0;

function check(ok, what) {
  if (ok) {
    passed++;
  } else {
    failed++;
    WScript.Echo("FAILED: " + what);
  }
}

function shown(text) {
  return "\"" + text.replace(/\0/g, "\\0") + "\" (" + text.length + " characters)";
}

function checkText(actual, expected, what) {
  check(actual === expected, what + ": " + shown(actual) + ", expected " + shown(expected));
}

// The error number a host sees, from the HRESULT JScript reports (0x800A0000 | n).
function checkError(action, number, what) {
  try {
    action();
    check(false, what + ": no error, expected " + number);
  } catch (e) {
    check((e.number >>> 16) === 0x800A && (e.number & 0xFFFF) === number,
          what + ": error " + (e.number >>> 0).toString(16) + " (" + e.description + "), expected " + number);
  }
}

// An attempt entry of a port search or an emptying: port, time of day, result.
function attempt(port, result) {
  return ":" + (port < 10 ? "0" : "") + port + "\\d{6}\\*" + result;
}

function checkLog(pattern, what) {
  check(new RegExp(pattern).test(o.log), what + ": log " + shown(o.log));
}

function nuls(count) {
  return new Array(count + 1).join("\0");
}

function blanks(count) {
  return new Array(count + 1).join(" ");
}

var o = new ActiveXObject("VKDClicker.Clicker");

// --- a new object -------------------------------------------------------------------
checkText(o.hello, "Clicker control successfully installed", "hello");
check(typeof o.comport === "number" && o.comport === 0, "comport 0");
check(o.open_ok === false && o.empty_ok === false && o.timechange_ok === false, "flags false");
checkText(o.SwVersion, nuls(8), "SwVersion of a new object");
checkText(o.serial, "", "serial");
checkError(function () { return o.sbarcode; }, 9, "sbarcode on a new object");
checkError(function () { return o.stype; }, 9, "stype on a new object");
checkError(function () { o.newparams = null; }, 13, "newparams = null");
checkError(function () { o.lastport = "7a"; o.open_clicker(); }, 13, "open_clicker with lastport \"7a\"");
checkText(o.log, "", "nothing searched");

// --- an object stands for its default value ---------------------------------------------
o.lastport = { toString: function () { return "7"; } };
o.open_clicker();
checkLog("^OPOK" + attempt(7, 0) + "\\*0\\*3$", "lastport an object whose text is 7");

// --- the download -------------------------------------------------------------------
checkText(o.serial, "0AFF0000000000FE", "serial from bytes 0A FF 00 ... FE");
checkText(o.SwVersion, "V1" + nuls(6), "a short version keeps its NUL characters");
check(o.num_barcodes === 3 && o.comport === 7, "3 barcodes on port 7");
o.get_barcode = 1;
checkText(o.sbarcode, "A\0B\0", "a barcode with NUL characters");
check(o.stype === 22, "type 22");
o.get_barcode = 2;
checkText(o.sbarcode, "", "an empty barcode");
check(o.stype === 200, "type 200");
o.get_barcode = 3;
checkText(o.sbarcode, "X|Y", "barcode 3");
o.get_barcode = 0;
check(typeof o.stype === "undefined", "entry 0 holds no type");
o.get_barcode = 4;
checkError(function () { return o.sbarcode; }, 9, "sbarcode past the last record");

// --- the exports --------------------------------------------------------------------
// Clock byte 255 gives the flag L and seconds 00; the unknown stamp gives 1 January 2001.
checkText(o.alldata,
          "V01" + "0AFF0000000000FE" + "L" + "001509170507" + "0003" +
          "001" + "A\0B\0" + blanks(9) + "22" + "20070517143015" +
          "002" + blanks(13) + "200" + "20100102030405" +
          "003" + "X|Y" + blanks(10) + "01" + "20010101000000",
          "alldata");
o.pdelimiter = "|";
var text = o.alldata2;
checkText(text,
          "DL|V03|V1" + nuls(6) + "|0AFF0000000000FE|L|20070517091500|3" +
          "|BC|1|20070517143015|22|4|A\0B\0" +
          "|BC|2|20100102030405|200|0|" +
          "|BC|3|20010101000000|1|3|X|Y",
          "alldata2 with the delimiter |");
check(o.length_alldata2 === text.length, "length_alldata2 counts the NUL characters");
o.pdelimiter = "\0;\0";
text = o.alldata2;
check(text.indexOf("DL\0;\0V03\0;\0V1") === 0 && o.length_alldata2 === text.length,
      "a delimiter of NUL characters is used whole: " + shown(text));
o.pdelimiter = "";

// --- emptying with the clock set: refused twice, then accepted; the first clear refused ---
o.lastport = 7;
o.pnewdatetime = "000509070304";
o.EmptyScanner();
checkLog("^CLOK:02:OPOK" + attempt(7, 0) + ":SetTime:000509070304:-4:01:-4:02:0:03::TimeOK::2:0\\*3:0$",
         "EmptyScanner");
check(o.open_ok && o.empty_ok && o.timechange_ok && o.num_barcodes === 3,
      "emptied at the second attempt, clock accepted at the third, the count read after the refusal");
o.pnewdatetime = "";
o.open_clicker();
check(o.num_barcodes === 0, "the scanner is empty");
checkText(o.alldata2, "DL;V03;V1" + nuls(6) + ";0AFF0000000000FE;H;20040307090500;0",
          "the clock as set: 7 March 2004 09:05:00");

// --- parameters ---------------------------------------------------------------------
o.cur_clicker_params = "05";
checkText(o.showparams, "05:0x4:0x0:V1" + nuls(8) + ":0x0:0x1", "showparams with no parameter to read");
o.newparams = "00";
o.reset_params();
checkLog("^CLOK:01:OPOK" + attempt(7, 0) + ":0$", "reset_params with no parameter to write");
o.newparams = "";
checkError(function () { o.reset_params(); }, 13, "reset_params with an empty list empties first, then fails");

// --- lets given values of another type ------------------------------------------------
// Each row: the let, the value, and what the object shows afterwards. A number for a text
// becomes its text, a text for the index its number.
var status = ":0x4:0x0:V1" + nuls(8) + ":0x0:0x1";
var rows = [
  ["get_barcode", "2", function () { return o.get_barcode === 2; }],
  ["get_barcode", 3.5, function () { return o.get_barcode === 4; }],
  ["lastport", "7", function () { return o.showparams === "05" + status; }],
  ["cur_clicker_params", 5, function () { return o.showparams === "5" + status; }],
  ["pdelimiter", 7, function () { return o.alldata2.indexOf("DL7V037V1") === 0; }],
  ["pnewdatetime", 100509070304, function () {
    o.EmptyScanner();
    return new RegExp(":SetTime:100509070304:0:01::TimeOK:").test(o.log);
  }]
];
o.cur_clicker_params = "05";
o.lastport = 0;
for (var i = 0; i < rows.length; i++) {
  o[rows[i][0]] = rows[i][1];
  check(rows[i][2](), rows[i][0] + " = " + rows[i][1] + ": log " + shown(o.log));
}
o.pdelimiter = "";

// What has no value of the let's type is refused with 13 or 6 and changes nothing.
o.get_barcode = 3;
checkError(function () { o.get_barcode = "x"; }, 13, "get_barcode = \"x\"");
checkError(function () { o.get_barcode = 70000; }, 6, "get_barcode = 70000");
checkError(function () { o.get_barcode = null; }, 13, "get_barcode = null");
checkError(function () { o.pdelimiter = null; }, 13, "pdelimiter = null");
checkError(function () { o.pnewdatetime = null; }, 13, "pnewdatetime = null");
check(o.get_barcode === 3, "get_barcode unchanged: " + o.get_barcode);

WScript.Echo("RESULT: " + passed + " passed, " + failed + " failed");
WScript.Quit(failed);
