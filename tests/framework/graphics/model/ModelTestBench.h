/*
	Fixture of the model tests: the library opened by the graphics manager
	(every engine plug-in attached) over the test device, a resources
	manager whose factory takes the loaded models, and helpers that load
	a model resource from a record image and give a 3D object an owner.
*/
#ifndef MODEL_TEST_BENCH_H
#define MODEL_TEST_BENCH_H

#include "../../core/engine/EFCoreTestBench.h"

#include "datatypes/descriptor/DT3dObjectDescriptor.h"
#include "datatypes/descriptor/DTCreationParameters.h"
#include "datatypes/maths/DTFrame.h"
#include "datatypes/persist/DTMemoryPersistStream.h"
#include "framework/core/engine/EFAppContext.h"
#include "framework/core/engine/EFIniFile.h"
#include "framework/core/level/EFRessourcesMgr.h"
#include "framework/core/world/EFGameObject.h"
#include "framework/graphics/EF3dObj.h"
#include "framework/graphics/EF3dObjRes.h"
#include "framework/graphics/EFGraphicsMgr.h"
#include "graphics3d/core/RwEngine.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpAtomic.h"
#include "graphics3d/world/RpClump.h"
#include "platform/vi/VI.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

#include <initializer_list>
#include <string>
#include <vector>

class ModelTestBench : public EFCoreTestBench {
protected:
	void SetUp() override {
		EFCoreTestBench::SetUp();
		WriteDiscText( "ENGINE.INI", Ini() );
		EFIniFile::GetInstance()->Read( "ENGINE.INI" );
		manager = new EFGraphicsMgr( context );
		ASSERT_NE( RwEngineInstance, nullptr );
		gpoRessourcesMgr = new EFRessourcesMgr();
		owner = new EFGameObject;
		owner->CreateFrame( nullptr );
	}

	void TearDown() override {
		delete owner;
		owner = nullptr;
		delete gpoRessourcesMgr;
		gpoRessourcesMgr = nullptr;
		delete manager;
		VISetPreRetraceCallback( nullptr );
		EFIniFile::GetInstance()->Clear();
		EFCoreTestBench::TearDown();
	}

	virtual std::string Ini() const { return ""; }

	// A new current texture dictionary holding empty textures of these names.
	static RwTexDictionary* MakeCurrentDictionary( const std::initializer_list<const char*> names ) {
		RwTexDictionary* const dictionary = RwTexDictionaryCreate();
		RwTexDictionarySetCurrent( dictionary );
		for ( const char* name : names ) {
			RwTexture* const texture = RwTextureCreate( nullptr );
			RwTextureSetName( texture, name );
			RwTexDictionaryAddTexture( dictionary, texture );
		}
		return dictionary;
	}

	// The record image of a model resource holding the sample model.
	static std::vector<u8> SampleModelRecord( const u32 id ) {
		ToolModelResource model;
		model.id = id;
		model.clump = ToolClumpWriter::Chunk( ToolSampleModelClump() );
		return ToolModelResourceWriter::Record( model );
	}

	// The resource a record image of one user loads through a memory
	// stream, as the factory hands it to that user (counted once).
	// With bytesLeft, the bytes the stream must still hold afterwards.
	static EF3dObjRes* LoadRecord( std::vector<u8>& record, const u32 id, const s32* bytesLeft = nullptr ) {
		EF3dObjRes* const loaded = new EF3dObjRes;
		DTMemoryPersistStream stream( reinterpret_cast<char*>( record.data() ), static_cast<s32>( record.size() ) );
		EXPECT_EQ( loaded->LoadPropertiesBinary( stream ), 0 );
		if ( bytesLeft != nullptr ) {
			EXPECT_EQ( static_cast<s32>( stream.GetBytesLeft() ), *bytesLeft );
		}
		EXPECT_TRUE( loaded->IsOwnedElsewhere() );
		EFRessource* const handed = gpoRessourcesMgr->GetRessourceFactory().GetRessource( id );
		EXPECT_EQ( handed, loaded );
		return loaded;
	}

	// A 3D object of owner taking over one counted reference to resource,
	// initialised with the instance flags; Initialize's result in
	// initialised.
	EF3dObj* MakeObject( EFRessource* resource, const s32 instanceFlags = 0, bool* initialised = nullptr ) {
		EF3dObj* const object = new EF3dObj;
		object->SetRessource( resource );
		object->mpGameObjectOwner = owner;
		DT3dObjectDescriptor descriptor;
		descriptor.miInstanceFlag = instanceFlags;
		const DTCreationParameters params = { &descriptor, nullptr };
		const bool result = object->Initialize( params );
		if ( initialised != nullptr ) {
			*initialised = result;
		}
		return object;
	}

	// The clump's atomics in clump order.
	static std::vector<RpAtomic*> Atomics( RpClump* clump ) {
		std::vector<RpAtomic*> atomics;
		RpClumpForAllAtomics(
			clump,
			[]( RpAtomic* atomic, void* data ) -> RpAtomic* {
				static_cast<std::vector<RpAtomic*>*>( data )->push_back( atomic );
				return atomic;
			},
			&atomics );
		return atomics;
	}

	EFAppContext		context{};
	EFGraphicsMgr*		manager = nullptr;
	EFGameObject*		owner = nullptr;
};

#endif
