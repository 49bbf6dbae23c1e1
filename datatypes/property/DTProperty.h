/*
===============================================================================

	A named variant: one registered field of a loadable class.

	The property loads its field from a persist stream according to the
	variant's type code: plain numbers with one LoadData call of their
	width, strings through a 2048-byte buffer (between single quotes in the
	text form), vectors of 2 to 4 floats, counted arrays of floats, longs
	and strings, and counted data blocks. Codes it does not know load
	nothing and give 0. The first nonzero code of a stream call is the
	result.

	Stored counts are never trusted: a negative count, a block count that
	does not fit the 24-bit extra information, and a count whose elements
	cannot be in the bytes the stream still holds give
	DT_PERSIST_READ_PAST_END before anything is resized, allocated or
	written. A block larger than a fixed buffer's registered size is
	refused the same way.

	The name is held by pointer and must outlive the property.

===============================================================================
*/
#ifndef DT_PROPERTY_H
#define DT_PROPERTY_H

#include "datatypes/property/DTVariant.h"

class DTBasePersistStream;

// Bytes of the buffer a stored string is read into, terminator included.
constexpr s32 DT_PROPERTY_STRING_MAX	= 2048;

// In the text form a block byte is two letters, and every 250th byte is
// followed by a line break of two characters.
constexpr u32 DT_PROPERTY_BLOCK_LINE_BYTES	= 250;

class DTProperty : public DTVariant {
public:
	// Copies field (through Mutate), then takes the own-buffer bit and the
	// extra information (clamped to 0 .. DT_VARIANT_EXTRA_MASK) from the arguments.
							DTProperty( const char * name, const DTVariant & field, const bool ownBuffer, const s32 extra );
	virtual					~DTProperty();

	// Loads the field; 0 or the first error code.
	virtual s32				LoadFromStream( DTBasePersistStream & stream );
	// Writes nothing; 0.
	virtual s32				SaveToStream( DTBasePersistStream & stream );

	// Assigns the variant (DTVariant::operator=) and takes the name.
	void					Mutate( const char * name, const DTVariant & field );

	const char *			GetName() const { return mszName; }

private:
	const char *			mszName;

	// Null target: the string is read and dropped.
	s32						LoadString( DTBasePersistStream & stream, DTString * target );
	s32						LoadFloats( DTBasePersistStream & stream, f32 * floats, const u32 count );
	s32						LoadFloatArray( DTBasePersistStream & stream, DTVector<f32> & target );
	s32						LoadLongArray( DTBasePersistStream & stream, DTVector<s32> & target );
	s32						LoadStringArray( DTBasePersistStream & stream, DTVector<DTString> & target );
	s32						LoadBlock( DTBasePersistStream & stream );
	// The text form of a block: letter pairs, with a dropped line break
	// after every 250th byte. The or-combined codes of the character reads.
	s32						LoadTextBlock( DTBasePersistStream & stream, u8 * block, const u32 count );
};

#endif
