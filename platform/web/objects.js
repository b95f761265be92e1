// The JavaScript values that the program holds (platform/web/js.h), each at
// its place in this table; place 0 is null. A place is given back when the
// program lets go of its value.
var rzValues = [null];
var rzFreePlaces = [];
var rzText = ''; // the text last asked of a value, to copy
function rzHold(value) {
  if (value === null || value === undefined) {
    return 0;
  }
  var place = rzFreePlaces.length > 0 ? rzFreePlaces.pop() : rzValues.length;
  rzValues[place] = value;
  return place;
}

// The program's WebAssembly is inside this script as a data address:
// compiled from there at once, with no fetch, which the page's content
// security policy would refuse. The browser's own base64 decoder, where it
// has one, is many times faster on a cold page than the runtime's loop.
Module['instantiateWasm'] = function (imports, receive) {
  var bytes = Uint8Array.fromBase64
      ? Uint8Array.fromBase64(wasmBinaryFile.slice(dataURIPrefix.length))
      : tryParseAsDataURI(wasmBinaryFile);
  WebAssembly.instantiate(bytes, imports).then(
    function (output) { receive(output['instance']); },
    function (error) { abort(error); });
  return {};
};
