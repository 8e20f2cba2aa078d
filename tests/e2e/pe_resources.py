"""The resources of a built installer, for the scenarios' crafted and damaged
copies of it: where a resource's bytes lie (first language), replaced by no
more bytes, or an integer id left out of its type's directory. Type names
compare in upper case, as in Windows."""
import struct
import sys


class Image:
    def __init__(self, path):
        self.bytes = bytearray(open(path, "rb").read())
        pe = struct.unpack_from("<I", self.bytes, 0x3C)[0]
        self.sections = struct.unpack_from("<H", self.bytes, pe + 6)[0]
        optional_size = struct.unpack_from("<H", self.bytes, pe + 20)[0]
        optional = pe + 24
        self.table = optional + optional_size
        # The data directories follow the optional header's 96 bytes (PE32+: 112).
        magic = struct.unpack_from("<H", self.bytes, optional)[0]
        directories = optional + (112 if magic == 0x20B else 96)
        self.base = self.offset(struct.unpack_from("<I", self.bytes, directories + 2 * 8)[0])

    def offset(self, rva):
        for i in range(self.sections):
            _, size, address, raw_size, raw = struct.unpack_from("<8sIIII", self.bytes,
                                                                 self.table + 40 * i)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        sys.exit("RVA %x is in no section" % rva)

    def _name(self, entry):
        name = struct.unpack_from("<I", self.bytes, entry)[0]
        if not name & 0x80000000:
            return name
        at = self.base + (name & 0x7FFFFFFF)
        length = struct.unpack_from("<H", self.bytes, at)[0]
        return self.bytes[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()

    def _entry(self, directory, wanted):
        named, ids = struct.unpack_from("<HH", self.bytes, directory + 12)
        for entry in range(directory + 16, directory + 16 + 8 * (named + ids), 8):
            if wanted is None or self._name(entry) == wanted:
                return entry
        sys.exit("no resource entry %r" % (wanted,))

    def _child(self, directory, wanted):
        target = struct.unpack_from("<I", self.bytes, self._entry(directory, wanted) + 4)[0]
        return self.base + (target & 0x7FFFFFFF)

    def _data_entry(self, kind, resource_id):
        return self._child(self._child(self._child(self.base, kind), resource_id), None)

    def resource(self, kind, resource_id):
        rva, size = struct.unpack_from("<II", self.bytes, self._data_entry(kind, resource_id))
        return self.offset(rva), size

    def put(self, kind, resource_id, content):
        at, size = self.resource(kind, resource_id)
        if len(content) > size:
            sys.exit("the new content of %s %r is larger than the old" % (kind, resource_id))
        self.bytes[at:at + len(content)] = content
        struct.pack_into("<I", self.bytes, self._data_entry(kind, resource_id) + 4, len(content))

    def drop(self, kind, resource_id):
        directory = self._child(self.base, kind)
        named, ids = struct.unpack_from("<HH", self.bytes, directory + 12)
        at, end = self._entry(directory, resource_id), directory + 16 + 8 * (named + ids)
        self.bytes[at:end] = self.bytes[at + 8:end] + bytes(8)
        struct.pack_into("<HH", self.bytes, directory + 12, named, ids - 1)

    def save(self, path):
        open(path, "wb").write(self.bytes)
