/*
===============================================================================

	An owned list of loadable objects of any class, stored with their
	class ids.

	Binary form: entries of an i32 class id followed by that object's own
	stored data, ended by an i32 0; the container's own UID is not stored.
	Text form: entries of a class name followed by the object, ended by the
	word END. Each object is created through the class registry (instance
	type 1 only) as its entry is read.

	A class the registry cannot create ends the load with
	DT_PERSIST_UNKNOWN_CLASS, and an object whose own load fails ends it
	with that object's code; the objects read before stay in the list, and
	so does the failing object. Containers nest (an entry may be a
	container) at most DT_DYN_PROP_CONTAINER_MAX_DEPTH deep: a deeper one
	ends the load with DT_PERSIST_READ_PAST_END before reading anything.

	The container owns what it holds, except an object that another owner
	took while it loaded (IsOwnedElsewhere: a waypoint group registered
	with its manager, a game object in the world or the template map, the
	shared texture dictionary). Such an entry stays in the list, but Clear
	lets it go instead of deleting it: its other owner deletes it, perhaps
	before the container is cleared.

===============================================================================
*/
#ifndef DT_DYNAMIC_PROPERTY_CONTAINER_H
#define DT_DYNAMIC_PROPERTY_CONTAINER_H

#include "datatypes/streamable/DTStreamable.h"

constexpr s32 DT_DYN_PROP_CONTAINER_CLASS_ID	= 31;

// Deepest nesting of containers a load accepts, far above any real level.
constexpr u32 DT_DYN_PROP_CONTAINER_MAX_DEPTH	= 64;

class DTDynamicPropertyContainer : public DTStreamable {
public:
							DTDynamicPropertyContainer();
	// Clears.
	virtual					~DTDynamicPropertyContainer();

	static void *			Instanciate();

	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	// Clears, then loads as every streamable does.
	s32						LoadFromStream( DTBasePersistStream & stream ) override;
	// Write nothing; 0.
	s32						SaveToStream( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						SavePropertiesText( DTBasePersistStream & stream ) override;
	s32						SavePropertiesBinary( DTBasePersistStream & stream ) override;

	// Appends the object, which the container then owns; the new index.
	virtual u32				AddClass( DTStreamable * object );
	// Element index, or null when index is not below the count.
	virtual DTStreamable *	GetAt( const u32 index ) const;
	// Destroys every object it owns, lets the others go and frees the
	// list; 0.
	virtual s32				Clear();

	u32						GetCount() const { return moDynamicPropertyList.GetSize(); }

private:
	struct Entry {
		DTStreamable *		mpoObject;
		bool				mbOwned;
	};

	// After an entry's load: lets it go when another owner took it.
	void					ReleaseIfOwnedElsewhere( const u32 index );
	s32						LoadEntriesBinary( DTBasePersistStream & stream );
	s32						LoadEntriesText( DTBasePersistStream & stream );

	DTVector<Entry>			moDynamicPropertyList;
};

#endif
