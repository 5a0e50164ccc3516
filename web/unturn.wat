;; Turns the text that web/assemble.mjs keeps a WebAssembly module in back
;; into the module's bytes, for the page (web/page.js). The text has one
;; character a byte, each byte turned by the same shift; the page writes it
;; here in UTF-8 (TextEncoder), where a character from U+0080 takes two
;; bytes. A loop in JavaScript would take the page's first milliseconds
;; over a module's 50,000 characters; here it takes a tenth of one.
(module
  (memory (export "memory") 1)
  ;; The `length` bytes of UTF-8 from address 0, written from `out` on as
  ;; the module's bytes; returns how many.
  (func (export "unturn") (param $length i32) (param $out i32) (param $shift i32) (result i32)
    (local $at i32)
    (local $to i32)
    (local $code i32)
    (local.set $to (local.get $out))
    (block $done
      (loop $next
        (br_if $done (i32.ge_u (local.get $at) (local.get $length)))
        (local.set $code (i32.load8_u (local.get $at)))
        ;; A lead byte: the character is its low bits and the next byte's.
        (if (i32.ge_u (local.get $code) (i32.const 0xC0))
          (then
            (local.set $at (i32.add (local.get $at) (i32.const 1)))
            (local.set $code
              (i32.or (i32.shl (i32.and (local.get $code) (i32.const 0x1F)) (i32.const 6))
                      (i32.and (i32.load8_u (local.get $at)) (i32.const 0x3F))))))
        (i32.store8 (local.get $to) (i32.sub (local.get $code) (local.get $shift)))
        (local.set $at (i32.add (local.get $at) (i32.const 1)))
        (local.set $to (i32.add (local.get $to) (i32.const 1)))
        (br $next)))
    (i32.sub (local.get $to) (local.get $out))))
