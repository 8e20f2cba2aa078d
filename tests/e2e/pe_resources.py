"""The resources of a built installer, for scenarios that need a crafted or
damaged copy of it: a resource's bytes replaced or changed, or a resource left
out of the resource directory. Only what those scenarios use; names of types
are compared in upper case, as Windows does."""
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

    def _name(self, entry_name):
        if not entry_name & 0x80000000:
            return entry_name
        at = self.base + (entry_name & 0x7FFFFFFF)
        length = struct.unpack_from("<H", self.bytes, at)[0]
        return self.bytes[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()

    def _entries(self, directory):
        named, ids = struct.unpack_from("<HH", self.bytes, directory + 12)
        return [directory + 16 + 8 * i for i in range(named + ids)]

    def _child(self, directory, wanted):
        for entry in self._entries(directory):
            entry_name, target = struct.unpack_from("<II", self.bytes, entry)
            if wanted is None or self._name(entry_name) == wanted:
                return self.base + (target & 0x7FFFFFFF)
        sys.exit("no resource entry %r" % (wanted,))

    def _data_entry(self, kind, resource_id):
        return self._child(self._child(self._child(self.base, kind), resource_id), None)

    def resource(self, kind, resource_id):
        """File offset and size of a resource's bytes (its first language)."""
        rva, size = struct.unpack_from("<II", self.bytes, self._data_entry(kind, resource_id))
        return self.offset(rva), size

    def put(self, kind, resource_id, content):
        """Replaces a resource's bytes; the new content must not be larger."""
        at, size = self.resource(kind, resource_id)
        if len(content) > size:
            sys.exit("the new content of %s %r is larger than the old" % (kind, resource_id))
        self.bytes[at:at + len(content)] = content
        struct.pack_into("<I", self.bytes, self._data_entry(kind, resource_id) + 4, len(content))

    def drop(self, kind, resource_id):
        """Takes a resource with an integer id out of its type's directory."""
        directory = self._child(self.base, kind)
        entries = self._entries(directory)
        kept = [bytes(self.bytes[e:e + 8]) for e in entries
                if self._name(struct.unpack_from("<I", self.bytes, e)[0]) != resource_id]
        if len(kept) == len(entries):
            sys.exit("no resource %s %r" % (kind, resource_id))
        named, ids = struct.unpack_from("<HH", self.bytes, directory + 12)
        struct.pack_into("<HH", self.bytes, directory + 12, named, ids - 1)
        self.bytes[entries[0]:entries[0] + 8 * len(entries)] = b"".join(kept) + bytes(8)

    def save(self, path):
        open(path, "wb").write(self.bytes)
