"""What the engines driven through classic WebDriver (Chromium, WebKitGTK)
share: a selenium session, with scripts, pointer and keys as WebDriver
gives them."""

from selenium.common.exceptions import JavascriptException, NoSuchElementException, StaleElementReferenceException
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

from pagedriver import Gone, Page

# KeyboardEvent.key names, as WebDriver sends them.
KEYS = {"Control": Keys.CONTROL, "Shift": Keys.SHIFT, "Delete": Keys.DELETE, "Enter": Keys.ENTER,
        "Tab": Keys.TAB, "Escape": Keys.ESCAPE}


class WebDriverPage(Page):
    def __init__(self, driver):
        self.driver = driver
        self.version = driver.capabilities.get("browserVersion")

    def goto(self, url):
        self.driver.get(url)

    def run(self, script, *args):
        # WebDriver waits for a promise the script returns.
        try:
            return self.driver.execute_script(script, *args)
        except (StaleElementReferenceException, NoSuchElementException) as error:
            raise Gone(error.msg) from None
        except JavascriptException as error:
            if "unloaded" in (error.msg or ""):
                raise Gone(error.msg) from None
            raise

    def click_at(self, x, y):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(round(x), round(y)).click()
        actions.perform()

    def press(self, *keys):
        keys = [KEYS.get(key, key) for key in keys]
        chain = ActionChains(self.driver)
        for key in keys[:-1]:
            chain.key_down(key)
        chain.send_keys(keys[-1])
        for key in reversed(keys[:-1]):
            chain.key_up(key)
        chain.perform()

    def type(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def screenshot(self, path):
        self.driver.save_screenshot(path)

    def close(self):
        # A driver or browser that has gone, or hung, says nothing new here:
        # the step that met it has reported it. Selenium stops the driver's
        # process either way.
        try:
            self.driver.quit()
        except Exception:
            pass
