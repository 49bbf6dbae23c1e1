# TWOTEXT: two sections named .text; only the first is linked.
	.text
	.globl TWOTEXTConstructor
TWOTEXTConstructor:
	.long 0x11111111
	blr
	.section .text,"ax",@progbits,unique,1
	.globl TWOTEXTDestructor
TWOTEXTDestructor:
	.long 0x22222222
	.long 0x33333333
	blr
