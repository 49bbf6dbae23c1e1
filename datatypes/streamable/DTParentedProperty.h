/*
===============================================================================

	A property that may link its field to another object by link id.

	For a link field (a DTStreamable* filled in once the object it names
	is known) the stored value is a 32-bit link id. The property hands the
	field's address, its parent object and the id to the linker of the
	stream's opener; when the linker already knows an object for the id,
	that object is written into the field at once. A stream made directly,
	without an opener, has no linker: the id is read and nothing is linked.

	Every other field type loads as a plain DTProperty.

===============================================================================
*/
#ifndef DT_PARENTED_PROPERTY_H
#define DT_PARENTED_PROPERTY_H

#include "datatypes/property/DTProperty.h"

class DTStreamable;

class DTParentedProperty : public DTProperty {
public:
	// A property over any field, loaded as DTProperty loads it.
							DTParentedProperty( const char * name, const DTVariant & field, DTStreamable * parent );
	// A link field.
							DTParentedProperty( const char * name, DTStreamable ** field, DTStreamable * parent );
	virtual					~DTParentedProperty();

	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// Writes nothing; 0.
	s32						SaveToStream( DTBasePersistStream & stream ) override;

	DTStreamable *			GetParent() const { return mpoParent; }

private:
	DTStreamable *			mpoParent;

	s32						LoadLink( DTBasePersistStream & stream );
};

#endif
