"""kkt-cli and kkt-emulator against an independent implementation of the protocol
(kktproto.py): the Python side plays the register for kkt-cli, and the client for
kkt-emulator, comparing every frame byte by byte."""

import os
import select
import subprocess
import sys
import tempfile
import threading
import tty
import unittest

import kktproto as kp

CLI = EMULATOR = None


def read_exactly(fd, count, timeout):
    data = b""
    while len(data) < count:
        ready, _, _ = select.select([fd], [], [], timeout)
        if not ready:
            break
        chunk = os.read(fd, count - len(data))
        if not chunk:
            break
        data += chunk
    return data


class PythonRegister:
    """A pseudo-terminal whose far end answers from a script: one prepared answer per request frame."""

    def __init__(self, folder):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        tty.setraw(self.master)
        self.path = os.path.join(folder, "KKT-PY")
        os.symlink(os.ttyname(self.slave), self.path)
        self.requests, self.answers = [], []
        self.stop = False
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def serve(self):
        while not self.stop:
            head = read_exactly(self.master, 8, 0.1)
            if len(head) < 8:
                continue
            rest = read_exactly(self.master, head[7] - 8, 2.0)
            self.requests.append(head + rest)
            if self.answers:
                os.write(self.master, self.answers.pop(0))

    def close(self):
        self.stop = True
        self.thread.join()
        os.close(self.master)
        os.close(self.slave)


def cli(*args):
    run = subprocess.run([CLI, *args], capture_output=True, timeout=30)
    return run.returncode, run.stdout.decode("utf-8"), run.stderr.decode("utf-8")


def fields(text):
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


class CliAgainstPythonRegister(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.kkt = PythonRegister(self.folder.name)

    def tearDown(self):
        self.kkt.close()
        self.folder.cleanup()

    def run_cli(self, answers, *args):
        self.kkt.answers = list(answers)
        return cli("--port", self.kkt.path, "--timeout", "1000", *args)

    def test_link_check_frame(self):
        code, out, _ = self.run_cli([kp.answer(31, 0, bytes(range(1, 25)))], "link")
        self.assertEqual(code, 0)
        self.assertEqual(self.kkt.requests, [bytes.fromhex("17020000000075 0B 19 B2 00".replace(" ", ""))])
        values = fields(out)
        self.assertEqual(values["b4"], "1")
        self.assertEqual(values["w8"], str(0x0605))
        self.assertEqual(values["q22"], str(0x181716151413))

    def test_goods_item_write_frame(self):
        code, _, _ = self.run_cli([kp.answer(46, 0)], "--kkt", "7", "item-set", "5", "--name", "Молоко 3,2%",
                                  "--font", "1", "--barcode", str(2**47 + 1), "--price", "-1", "--section", "2")
        self.assertEqual(code, 0)
        expected = kp.goods_write(7, 5, 0x31, "Молоко 3,2%", 2**47 + 1, -1, 2)
        self.assertEqual(self.kkt.requests, [expected])
        self.assertEqual(expected[12:23], bytes([0x6D, 0x6F, 0x6C, 0x6F, 0x6B, 0x6F, 0x20, 0x33, 0x2C, 0x32, 0x25]))
        self.assertEqual(expected[36:42], bytes([0x01, 0, 0, 0, 0, 0x80]))
        self.assertEqual(expected[42:47], b"\xff" * 5)

    def test_goods_item_read(self):
        data = (b"\x05\x00\x31" + kp.field24(kp.to_kkt("ХЛЕБ")) + (2**47 + 1).to_bytes(6, "little")
                + b"\xff" * 5 + b"\x07")
        code, out, _ = self.run_cli([kp.answer(46, 0, data)], "item-get", "5")
        self.assertEqual(code, 0)
        self.assertEqual(self.kkt.requests, [kp.goods_read(0, 5)])
        self.assertEqual(fields(out), {"number": "5", "font": "1", "name": "ХЛЕБ", "barcode": str(2**47 + 1),
                                       "price": "1099511627775", "section": "7"})

    def test_table_parameter_frames(self):
        self.assertEqual(self.run_cli([kp.answer(36, 0)], "set", "5", "5", "0", "internet", "--raw")[0], 0)
        self.assertEqual(self.run_cli([kp.answer(36, 0)], "set", "0", "1", "2", "Кассир", "--font", "1")[0], 0)
        self.assertEqual(self.kkt.requests, [kp.param(0, 0, 5, 5, 0, 0x30, b"internet"),
                                             kp.param(0, 0, 0, 1, 2, 0x31, kp.to_kkt("Кассир"))])

    def test_table_parameter_read(self):
        data = b"\x01\x00\x01\x02\x31" + kp.field24(kp.to_kkt("Иванов"))
        code, out, _ = self.run_cli([kp.answer(36, 0, data)], "get", "0", "1", "2")
        self.assertEqual(code, 0)
        self.assertEqual(self.kkt.requests, [kp.param(0, 1, 0, 1, 2, 0x30)])
        self.assertEqual(fields(out), {"font": "1", "value": "ИВАНОВ"})
        raw = b"\x01\x05\x05\x00\x30" + kp.field24(b"inter\x00net")
        code, out, _ = self.run_cli([kp.answer(36, 0, raw)], "get", "5", "5", "0", "--raw")
        self.assertEqual(fields(out)["value"], "internet")

    def test_busy_answers_repeat_the_identical_frame(self):
        code, _, _ = self.run_cli([kp.answer(7, 0x15)] * 3 + [kp.answer(7, 0)], "clear-base")
        self.assertEqual(code, 0)
        self.assertEqual(self.kkt.requests, [kp.frame(0, b"c")] * 4)

    def test_error_status_is_the_exit_status(self):
        code, _, err = self.run_cli([kp.answer(31, 0x42)], "link")
        self.assertEqual(code, 0x42)
        self.assertTrue(err.strip())


class PythonClientAgainstEmulator(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        link = os.path.join(self.folder.name, "KKT-EMU")
        self.emulator = subprocess.Popen([EMULATOR, "--link", link, "--kkt", "3"], stdout=subprocess.PIPE,
                                         stderr=subprocess.STDOUT)
        self.emulator.stdout.readline()
        self.fd = os.open(link, os.O_RDWR | os.O_NOCTTY)
        tty.setraw(self.fd)

    def tearDown(self):
        os.close(self.fd)
        self.emulator.terminate()
        self.emulator.wait(10)
        self.emulator.stdout.close()
        self.folder.cleanup()

    def exchange(self, request, length, timeout=2.0):
        os.write(self.fd, request)
        return read_exactly(self.fd, length, timeout)

    def assertAnswer(self, a, length, status=0):
        self.assertEqual(len(a), length)
        self.assertTrue(kp.checksum_ok(a), a.hex())
        self.assertEqual(a[3], status)
        self.assertEqual(a[-3], 0x19)

    def test_goods_item_round_trip(self):
        barcode = 4600000000001 + 2**47
        self.assertAnswer(self.exchange(kp.goods_write(3, 17, 0x31, "Ёлка", barcode, 3550, 2), 46), 46)
        a = self.exchange(kp.goods_read(3, 17), 46)
        self.assertAnswer(a, 46)
        self.assertEqual(kp.parse_goods_answer(a), {"number": 17, "font": 0x31, "name": " ЛКА", "barcode": barcode,
                                                    "price": 3550, "section": 2})

    def test_table_parameter_round_trip(self):
        self.assertAnswer(self.exchange(kp.param(3, 0, 0, 1, 1, 0x31, kp.to_kkt("Иванов")), 36), 36)
        a = self.exchange(kp.param(3, 1, 0, 1, 1, 0x30), 36)
        self.assertAnswer(a, 36)
        self.assertEqual(a[8], 0x31)
        self.assertEqual(kp.from_kkt(a[9:33]), "ИВАНОВ")

    def test_link_check_and_clear(self):
        self.assertAnswer(self.exchange(kp.frame(3, b"u"), 31), 31)
        self.exchange(kp.goods_write(3, 1, 0x30, "Хлеб", 1, 100, 1), 46)
        self.assertAnswer(self.exchange(kp.frame(3, b"c"), 7), 7)
        a = self.exchange(kp.goods_read(3, 1), 46)
        self.assertAnswer(a, 46)
        self.assertEqual(kp.parse_goods_answer(a)["name"], "")

    def test_other_register_and_bad_checksum_get_no_answer(self):
        self.assertEqual(self.exchange(kp.frame(4, b"u"), 31, timeout=0.3), b"")
        spoiled = bytearray(kp.frame(3, b"u"))
        spoiled[-1] ^= 0xFF
        self.assertEqual(self.exchange(bytes(spoiled), 31, timeout=0.3), b"")
        self.assertAnswer(self.exchange(kp.frame(3, b"u"), 31), 31)


if __name__ == "__main__":
    CLI, EMULATOR = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
