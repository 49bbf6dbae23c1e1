/*
===============================================================================

	Typed reference to one field of an object.

	A variant holds a type code, the field's value (inline for the plain
	number types) or its address (for every other type), an own-buffer bit
	and 24 bits of extra information, which the data-block types use for
	their byte count. Loading a field from a persist stream is the work of
	DTProperty, which adds a name.

	Flags word: type code in the top 7 bits, then the own-buffer bit, then
	the extra information. Every constructor clears the own-buffer bit; a
	variant that owns its pointer frees it as raw storage when destroyed.

	Only the field types that loadable classes register have a constructor;
	the other codes still load and are built in tests through ForceFlags.

===============================================================================
*/
#ifndef DT_VARIANT_H
#define DT_VARIANT_H

#include "datatypes/base/DTTypes.h"
#include "datatypes/containers/DTVector.h"

class DTString;
class DTStreamable;
struct DTDummyVector3;
struct DTDummyVector4;

// Type codes. Codes not listed here load nothing.
constexpr u32 DT_VARIANT_NONE			= 0;
constexpr u32 DT_VARIANT_FLOAT			= 1;	// inline values
constexpr u32 DT_VARIANT_S8				= 2;
constexpr u32 DT_VARIANT_S16			= 3;
constexpr u32 DT_VARIANT_S32			= 4;
constexpr u32 DT_VARIANT_U8				= 5;
constexpr u32 DT_VARIANT_U16			= 6;
constexpr u32 DT_VARIANT_U32			= 7;
constexpr u32 DT_VARIANT_STRING			= 8;	// loads as DT_VARIANT_DTSTRING_PTR
constexpr u32 DT_VARIANT_POINTER_FIRST	= 64;	// codes from here on hold an address
constexpr u32 DT_VARIANT_FLOAT_PTR		= 66;
constexpr u32 DT_VARIANT_S8_PTR			= 67;
constexpr u32 DT_VARIANT_S16_PTR		= 68;
constexpr u32 DT_VARIANT_S32_PTR		= 69;
constexpr u32 DT_VARIANT_U8_PTR			= 70;
constexpr u32 DT_VARIANT_U16_PTR		= 71;
constexpr u32 DT_VARIANT_U32_PTR		= 72;
constexpr u32 DT_VARIANT_DTSTRING_PTR	= 73;
constexpr u32 DT_VARIANT_STREAMABLE_PTR	= 74;
constexpr u32 DT_VARIANT_VECTOR2_PTR	= 75;
constexpr u32 DT_VARIANT_VECTOR3_PTR	= 76;
constexpr u32 DT_VARIANT_VECTOR4_PTR	= 77;
constexpr u32 DT_VARIANT_LINK			= 79;	// DTStreamable**, resolved by link id
constexpr u32 DT_VARIANT_BLOCK			= 80;	// bytes in place, size in the extra information
constexpr u32 DT_VARIANT_S64_PTR		= 81;
constexpr u32 DT_VARIANT_BLOCK_ALLOC	= 82;	// u8**: a block allocated on load
constexpr u32 DT_VARIANT_FLOAT_ARRAY	= 100;	// DTVector<f32>*
constexpr u32 DT_VARIANT_LONG_ARRAY		= 101;	// DTVector<s32>*
constexpr u32 DT_VARIANT_STRING_ARRAY	= 103;	// DTVector<DTString>*

// Layout of the flags word.
constexpr u32 DT_VARIANT_TYPE_SHIFT		= 25;
constexpr u32 DT_VARIANT_OWN_BUFFER		= 0x01000000;
constexpr u32 DT_VARIANT_EXTRA_MASK		= 0x00FFFFFF;

class DTVariant {
public:
	// Type 0, value 0, flags 0.
							DTVariant();
							DTVariant( f32 * field );
							DTVariant( s32 * field );
							DTVariant( u32 * field );
							DTVariant( DTString * field );
							DTVariant( DTStreamable * field );
							DTVariant( DTDummyVector3 * field );
							DTVariant( DTDummyVector4 * field );
	// A data block in place; the size (0 .. DT_VARIANT_EXTRA_MASK, clamped)
	// is kept as the extra information.
							DTVariant( void * block, const s32 size );
							DTVariant( DTVector<f32> * field );
							DTVariant( DTVector<s32> * field );
							DTVariant( DTVector<DTString> * field );
	// Same type, value and extra information; the copy does not own the buffer.
							DTVariant( const DTVariant & other );
	// Frees the pointer as raw storage when the own-buffer bit is set and
	// the type holds an address.
	virtual					~DTVariant();

	// A target of type 0 takes the source's type; the own-buffer bit and
	// the extra information always come from the source; the value is then
	// copied as the target's type reads it (nothing for codes without a value).
	DTVariant &				operator=( const DTVariant & other );

	u32						GetType() const { return muiFlags >> DT_VARIANT_TYPE_SHIFT; }
	bool					IsOwnBuffer() const { return ( muiFlags & DT_VARIANT_OWN_BUFFER ) != 0; }
	u32						GetExtra() const { return muiFlags & DT_VARIANT_EXTRA_MASK; }
	u32						GetFlags() const { return muiFlags; }

	// The address held by a pointer type.
	void *					GetPointer() const { return mValue.mpPointer; }

	// The inline value as each inline type reads it.
	f32						GetInlineFloat() const { return mValue.mfFloat; }
	s8						GetInlineS8() const { return mValue.mi8Value; }
	s16						GetInlineS16() const { return mValue.mi16Value; }
	s32						GetInlineS32() const { return mValue.mi32Value; }
	u8						GetInlineU8() const { return mValue.mui8Value; }
	u16						GetInlineU16() const { return mValue.mui16Value; }
	u32						GetInlineU32() const { return mValue.mui32Value; }

	// For tests only: replaces the whole flags word, to reach the type
	// codes that have no constructor (the value stays as it is).
	void					ForceFlags( const u32 flags ) { muiFlags = flags; }

protected:
	// Every inline type lives at the start of the value, so a one-byte
	// copy between two variants moves the one-byte value whatever the
	// host's byte order.
	union Value {
		f32					mfFloat;
		s8					mi8Value;
		s16					mi16Value;
		s32					mi32Value;
		u8					mui8Value;
		u16					mui16Value;
		u32					mui32Value;
		void *				mpPointer;
	};

	Value					mValue;
	u32						muiFlags;

	void					SetPointerValue( void * pointer );
	void					SetType( const u32 type );
	void					SetOwnBuffer( const bool own );
	// Keeps the low 24 bits.
	void					SetExtra( const u32 extra );
};

#endif
