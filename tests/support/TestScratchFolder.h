/*
===============================================================================

	A folder of its own for a test's files.

	Make asks the system for a fresh folder below its temporary folder,
	named by a readable prefix and six characters mkdtemp picks, so no
	other test, run of the suite or process (of this or another pid
	namespace) can be handed the same one. A name made from the test's
	name, the process id or a seed can be another run's, which then
	clears or overwrites the files under this one.

	Remove deletes the folder and all it holds, and only that folder; the
	destructor calls it. Making a new folder removes the one held before.

===============================================================================
*/
#ifndef TEST_SCRATCH_FOLDER_H
#define TEST_SCRATCH_FOLDER_H

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class TestScratchFolder {
public:
								TestScratchFolder() = default;
								TestScratchFolder( const TestScratchFolder& ) = delete;
	TestScratchFolder&			operator=( const TestScratchFolder& ) = delete;
								~TestScratchFolder() { Remove(); }

	// Makes a fresh folder whose name starts with prefix; false when the
	// system cannot make one.
	bool						Make( const std::string& prefix ) {
		Remove();
		std::error_code error;
		const std::filesystem::path temporary = std::filesystem::temp_directory_path( error );
		if ( error ) {
			return false;
		}
		std::string pattern = ( temporary / ( prefix + "XXXXXX" ) ).string();
		if ( mkdtemp( pattern.data() ) == nullptr ) {
			return false;
		}
		folder = pattern;
		return true;
	}

	// Deletes the folder and everything below it; nothing when none is held.
	void						Remove() {
		if ( !folder.empty() ) {
			std::error_code ignored;
			std::filesystem::remove_all( folder, ignored );
			folder.clear();
		}
	}

	bool						IsMade() const { return !folder.empty(); }

	// The folder; empty when none is held.
	const std::filesystem::path&	Path() const { return folder; }

	// A path below the folder.
	std::filesystem::path		operator/( const std::filesystem::path& name ) const { return folder / name; }

private:
	std::filesystem::path		folder;
};

#endif
