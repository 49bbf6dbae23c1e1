# TENUNDEF: ten undefined names; eight are recorded.
	.text
	.globl TENUNDEFConstructor
TENUNDEFConstructor:
	bl first
	bl second
	bl third
	bl fourth
	bl fifth
	bl sixth
	bl seventh
	bl eighth
	bl ninth
	bl tenth
	blr
